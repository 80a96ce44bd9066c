#include "skinart/SkinPictureList.h"

namespace {
using K = SkinPictureKind;

std::vector<SkinPictureDef> BuildList()
{
    std::vector<SkinPictureDef> list;
    auto plain = [&](const QString& name, int w, int h) { list.push_back({name, K::Plain, QSize(w, h), QSize(w, h)}); };
    auto nine = [&](const QString& name, int w, int h, int uw, int uh) {
        list.push_back({name, K::NinePatch, QSize(w, h), QSize(uw, uh)});
    };
    auto states = [&](const char* stem, std::initializer_list<const char*> suffixes, int w, int h) {
        for (const char* s : suffixes)
            plain(QLatin1String(stem) + QLatin1String(s), w, h);
    };

    // Start-up, video windows, map placeholder.
    plain("splash.png", 480, 320);
    plain("view_front.png", 640, 360);
    plain("view_rear.png", 320, 240);
    plain("view_title.png", 173, 44);
    plain("map_empty.png", 320, 240);

    // Main window background, panels, title bars, text fields.
    nine("bg.9.png", 400, 315, 965, 711);
    nine("gps_bg.9.png", 469, 92, 469, 92);
    nine("carinfo_bg.9.png", 147, 92, 147, 92);
    nine("bg_title.9.png", 96, 37, 642, 37);
    nine("bg_title_right.9.png", 96, 37, 322, 37);
    nine("bg_text.9.png", 24, 22, 207, 22);
    nine("bg_text_small.9.png", 16, 15, 37, 15);
    nine("contents_area.9.png", 24, 24, 139, 55);

    // Brand, model badges, title-area icons.
    states("bi_orvia", {".png", "_over.png", "_press.png"}, 96, 26);
    plain("bi_arx330.png", 99, 19);
    plain("bi_arx550.png", 106, 24);
    plain("bi_bt33.png", 45, 19);
    plain("bi_cmv550view.png", 105, 19);
    plain("ic_blackbox.png", 26, 24);
    plain("ic_expand.png", 18, 18);

    // Caption buttons.
    states("btn_close", {"_nor.png", "_over.png", "_press.png"}, 29, 36);
    states("btn_minimum", {"_nor.png", "_over.png", "_press.png"}, 29, 36);
    states("btn_minimum", {"_nor_2.png", "_over_2.png", "_press_2.png"}, 29, 36);
    states("btn_full", {"_nor.png", "_over.png", "_press.png"}, 29, 36);
    states("btn_reduction", {"_nor.png", "_over.png", "_press.png"}, 29, 36);
    // File and Settings buttons (stretched to their captions).
    for (const char* n : {"btn_menu_nor.png", "btn_menu_over.png", "btn_menu_press.png", "btn_menu_dis.png"})
        nine(n, 20, 27, 57, 27);

    // Title-bar and picture buttons.
    states("btn_folding_up", {"_nor.png", "_over.png", "_press.png", "_dis.png"}, 27, 27);
    states("btn_folding_down", {"_nor.png", "_over.png", "_press.png", "_dis.png"}, 27, 27);
    states("btn_expand", {"_normal.png", "_over.png", "_press.png", "_dis.png"}, 27, 27);
    states("btn_change", {"_normal.png", "_over.png", "_press.png", "_dis.png"}, 27, 27);
    states("btn_change", {"_normal_2.png", "_over_2.png", "_press_2.png", "_dis_2.png"}, 36, 24);
    states("btn_map_movie", {"_nor.png", "_over.png", "_press.png"}, 27, 27);
    states("btn_fitarea", {"_normal.png", "_over.png", "_press.png"}, 14, 14);

    // Transport.
    for (const char* stem : {"btn_pre", "btn_sec1", "btn_sec2", "btn_next"})
        states(stem, {"_normal.png", "_over.png", "_press.png", "_dim.png"}, 60, 60);
    for (const char* stem : {"btn_play", "btn_pause", "btn_stop"})
        states(stem, {"_normal.png", "_over.png", "_press.png", "_dim.png"}, 86, 86);
    states("btn_connect", {"_off_normal.png", "_on_normal.png", "_over.png", "_press.png", "_dis.png"}, 36, 24);
    for (const char* stem : {"btn_size", "btn_setting", "btn_save", "btn_volume"})
        states(stem, {"_normal.png", "_over.png", "_press.png", "_dis.png"}, 36, 24);
    states("ic_volume", {"_mute.png", "_01.png", "_02.png", "_03.png", "_04.png", "_05.png"}, 14, 16);

    // Position slider, speed display, vehicle signals.
    nine("progress_bg.9.png", 16, 7, 643, 7);
    nine("progress_bar.9.png", 16, 7, 320, 7);
    plain("progress_point.png", 9, 7);
    states("num_speed", {"_00.png", "_01.png", "_02.png", "_03.png", "_04.png", "_05.png", "_06.png", "_07.png",
                         "_08.png", "_09.png", "_dis.png"},
           24, 43);
    states("speed", {"_km.png", "_km_dis.png", "_mile.png", "_mile_dis.png"}, 39, 17);
    plain("speed_gauge_no.png", 135, 8);
    plain("speed_gauge_full.png", 135, 8);
    states("ic_brake", {"_on.png", "_off.png"}, 65, 45);
    states("ic_turnsignal", {"_left_on.png", "_left_off.png", "_right_on.png", "_right_off.png"}, 35, 45);

    // Play list: rows, category tabs, scroll bar.
    for (const char* n : {"bg_list01.9.png", "bg_list02.9.png", "bg_list_over.9.png", "bg_list_press.9.png"})
        nine(n, 48, 20, 224, 20);
    list.push_back({QStringLiteral("ic_nowplaying.png"), K::PlainInNinePatch, QSize(4, 7), QSize(4, 7)});
    list.push_back({QStringLiteral("ic_front_link.png"), K::PlainInNinePatch, QSize(7, 20), QSize(7, 20)});
    list.push_back({QStringLiteral("ic_rear_link.png"), K::PlainInNinePatch, QSize(7, 20), QSize(7, 20)});
    for (const char* stem : {"list_menu01", "list_menu02"})
        for (const char* s : {"_normal.9.png", "_over.9.png", "_press.9.png", "_dis.9.png", "_selected.9.png"})
            nine(QLatin1String(stem) + QLatin1String(s), 24, 27, 81, 27);
    for (const char* stem : {"list_sub_menu01", "list_sub_menu02"})
        for (const char* s : {"_normal.9.png", "_over.9.png", "_press.9.png", "_dis.9.png"})
            nine(QLatin1String(stem) + QLatin1String(s), 24, 20, 161, 20);
    nine("scroll_bg.9.png", 15, 24, 15, 222);
    states("scroll_btn_up", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, 13, 13);
    states("scroll_btn_down", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, 13, 13);
    for (const char* n : {"scroll_handler_normal.9.png", "scroll_handler_over.9.png", "scroll_handler_press.9.png"})
        list.push_back({QLatin1String(n), K::ThreeSliceV, QSize(11, 16), QSize(11, 60)});
    // The horizontal scroll bar: the same pictures turned a quarter.
    nine("scroll_bg_hor.9.png", 24, 15, 222, 15);
    states("scroll_btn_left", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, 13, 13);
    states("scroll_btn_right", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, 13, 13);
    for (const char* n : {"scroll_handler_hor_normal.9.png", "scroll_handler_hor_over.9.png",
                          "scroll_handler_hor_press.9.png"})
        list.push_back({QLatin1String(n), K::ThreeSliceH, QSize(16, 11), QSize(60, 11)});

    // Drop-down menus, panels, balloon.
    nine("bg_rightclick.9.png", 40, 40, 256, 78);
    nine("list_bg_over.9.png", 16, 20, 240, 20);
    nine("list_bg_press.9.png", 16, 20, 240, 20);
    nine("line.9.png", 8, 2, 241, 2);
    states("ic_tri_right", {"_normal.png", "_over.png"}, 5, 9);
    states("ic_checkbox", {"_normal.png", "_over.png"}, 16, 16);
    nine("play_setting_bg.9.png", 40, 48, 67, 102);
    nine("play_setting_bg2.9.png", 40, 48, 151, 97);
    nine("setting_btn_nor.9.png", 24, 21, 90, 21);
    nine("volume_scroll_bg.9.png", 11, 11, 75, 11);
    nine("volume_scroll.9.png", 11, 11, 40, 11);
    states("volume_handler", {"_nor.png", "_over.png", "_press.png"}, 11, 11);
    plain("ic_speed.png", 21, 21);
    nine("bg_info.9.png", 32, 27, 90, 27);

    // Full-screen caption and control box.
    nine("full_title_bg.9.png", 32, 37, 1280, 37);
    nine("full_bg.9.png", 64, 64, 695, 159);
    return list;
}
} // namespace

const std::vector<SkinPictureDef>& SkinPictureList()
{
    static const std::vector<SkinPictureDef> list = BuildList();
    return list;
}

const SkinPictureDef* FindSkinPicture(const QString& name)
{
    for (const SkinPictureDef& def : SkinPictureList())
        if (name.compare(def.name, Qt::CaseInsensitive) == 0)
            return &def;
    return nullptr;
}

QSize SkinPictureFileSize(const SkinPictureDef& def)
{
    switch (def.kind) {
    case SkinPictureKind::Plain:
        return def.size;
    case SkinPictureKind::PlainInNinePatch:
        return def.size + QSize(1, 1);
    case SkinPictureKind::NinePatch:
    case SkinPictureKind::ThreeSliceV:
    case SkinPictureKind::ThreeSliceH:
        break;
    }
    return def.size + QSize(2, 2);
}
