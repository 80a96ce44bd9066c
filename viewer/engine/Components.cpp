#include "engine/Components.h"

#include "engine/GstSupport.h"
#include "base/TraceLog.h"

#include <gst/gst.h>

#include <atomic>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace Components {

namespace {

// Creates every factory in order; on the first missing one releases what was
// made and returns an empty list.
std::vector<GstElement*> MakeAll(std::initializer_list<const char*> factories, QString* missing)
{
    std::vector<GstElement*> made;
    for (const char* f : factories) {
        GstElement* e = GstSupport::MakeElement(f, nullptr, missing);
        if (!e) {
            for (GstElement* m : made)
                gst_object_unref(gst_object_ref_sink(m));
            return {};
        }
        made.push_back(e);
    }
    return made;
}

GstElement* BinOf(const char* name, const std::vector<GstElement*>& chain)
{
    GstElement* bin = gst_bin_new(name);
    for (GstElement* e : chain)
        gst_bin_add(GST_BIN(bin), e);
    for (size_t i = 1; i < chain.size(); ++i)
        gst_element_link(chain[i - 1], chain[i]);
    return bin;
}

void AddGhost(GstElement* bin, GstElement* element, const char* padName, const char* ghostName)
{
    GstPad* target = gst_element_get_static_pad(element, padName);
    GstPad* ghost = gst_ghost_pad_new(ghostName, target);
    gst_pad_set_active(ghost, TRUE);
    gst_element_add_pad(bin, ghost);
    gst_object_unref(target);
}

// decodebin inside a bin: its first audio pad feeds `onward` (an element's
// sink pad) or, when `ghost` is set, becomes the target of that ghost pad.
// Filled on the thread that builds the graph, read on a streaming thread:
// the fields are atomics so the hand-over is explicit (the streaming threads
// come from GStreamer's pool, started through locks of its own).
struct DecodeLink
{
    std::atomic<GstElement*> onward{nullptr};
    std::atomic<GstPad*> ghost{nullptr};
};

void OnDecodedPad(GstElement*, GstPad* pad, gpointer user)
{
    auto* link = static_cast<DecodeLink*>(user);
    if (!GstSupport::IsAudioPad(pad))
        return;
    if (GstPad* ghost = link->ghost.load(std::memory_order_acquire)) {
        if (!gst_ghost_pad_get_target(GST_GHOST_PAD(ghost)))
            gst_ghost_pad_set_target(GST_GHOST_PAD(ghost), pad);
        return;
    }
    GstPad* sink = gst_element_get_static_pad(link->onward.load(std::memory_order_acquire), "sink");
    if (!gst_pad_is_linked(sink) && gst_pad_link(pad, sink) != GST_PAD_LINK_OK)
        TraceLog(QStringLiteral("CVideoMgr::audio decoder output could not be linked"));
    gst_object_unref(sink);
}

void FreeDecodeLink(gpointer data, GClosure*)
{
    auto* link = static_cast<DecodeLink*>(data);
    if (GstPad* ghost = link->ghost.load(std::memory_order_acquire))
        gst_object_unref(ghost);
    delete link;
}

} // namespace

GstElement* CreateH264Decoder(const char* graphName, QString* missing)
{
    std::vector<GstElement*> chain = MakeAll({"queue", "h264parse", "avdec_h264"}, missing);
    if (chain.empty())
        return nullptr;
    GstElement* bin = BinOf(graphName, chain);
    AddGhost(bin, chain.front(), "sink", "sink");
    AddGhost(bin, chain.back(), "src", "src");
    return bin;
}

GstElement* CreateAudioWrapper(const char* graphName, QString* missing)
{
    std::vector<GstElement*> chain = MakeAll({"queue", "decodebin"}, missing);
    if (chain.empty())
        return nullptr;
    GstElement* bin = BinOf(graphName, chain);
    AddGhost(bin, chain.front(), "sink", "sink");
    GstPad* src = gst_ghost_pad_new_no_target("src", GST_PAD_SRC);
    gst_pad_set_active(src, TRUE);
    gst_element_add_pad(bin, src);
    auto* link = new DecodeLink;
    link->ghost.store(GST_PAD(gst_object_ref(src)), std::memory_order_release);
    g_signal_connect_data(chain.back(), "pad-added", G_CALLBACK(OnDecodedPad), link, FreeDecodeLink, GConnectFlags(0));
    return bin;
}

bool HasAudioDevice()
{
    static std::once_flag once;
    static bool available = false;
    std::call_once(once, [] {
        GstSupport::EnsureInitialised();
        GstElement* probe = gst_element_factory_make("autoaudiosink", nullptr);
        if (!probe)
            return;
        gst_object_ref_sink(probe);
        if (gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
            // autoaudiosink falls back to a fake sink when no device opens.
            GstIterator* it = gst_bin_iterate_elements(GST_BIN(probe));
            GValue item = G_VALUE_INIT;
            while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
                auto* child = GST_ELEMENT(g_value_get_object(&item));
                GstElementFactory* factory = gst_element_get_factory(child);
                if (factory && g_strcmp0(GST_OBJECT_NAME(factory), "fakesink") != 0)
                    available = true;
                g_value_reset(&item);
            }
            g_value_unset(&item);
            gst_iterator_free(it);
        }
        gst_element_set_state(probe, GST_STATE_NULL);
        gst_object_unref(probe);
        TraceLogF("CVideoMgr::audio output %s", available ? "found" : "not found, audio is played silently");
    });
    return available;
}

GstElement* CreateAudioRenderer(const char* graphName, QString* missing, GstElement** volume)
{
    const bool device = HasAudioDevice();
    std::vector<GstElement*> chain = MakeAll({"queue", "decodebin", "audioconvert", "audioresample", "scaletempo",
                                              "volume", device ? "autoaudiosink" : "fakesink"},
                                             missing);
    if (chain.empty())
        return nullptr;
    if (!device)
        g_object_set(chain.back(), "sync", TRUE, nullptr);
    GstElement* bin = gst_bin_new(graphName);
    for (GstElement* e : chain)
        gst_bin_add(GST_BIN(bin), e);
    gst_element_link(chain[0], chain[1]);
    for (size_t i = 3; i < chain.size(); ++i)
        gst_element_link(chain[i - 1], chain[i]);
    auto* link = new DecodeLink;
    link->onward.store(chain[2], std::memory_order_release);
    g_signal_connect_data(chain[1], "pad-added", G_CALLBACK(OnDecodedPad), link, FreeDecodeLink, GConnectFlags(0));
    AddGhost(bin, chain.front(), "sink", "sink");
    if (volume)
        *volume = chain[5];
    return bin;
}

} // namespace Components
