#include "skinart/SkinArt.h"

std::vector<SkinArtPicture> AllSkinPictures(QStringList* problems)
{
    SkinArtRegistry reg;
    AddBrandArt(reg);
    AddWindowArt(reg);
    AddButtonArt(reg);
    AddListArt(reg);
    AddIndicatorArt(reg);

    std::vector<SkinArtPicture> pictures;
    for (const SkinPictureDef& def : SkinPictureList()) {
        auto it = reg.draw.find(def.name);
        if (it == reg.draw.end()) {
            if (problems)
                problems->append(QStringLiteral("no artwork for %1").arg(def.name));
            continue;
        }
        pictures.push_back({def, it->second});
        reg.draw.erase(it);
    }
    if (problems)
        for (const auto& [name, fn] : reg.draw)
            problems->append(QStringLiteral("artwork for unlisted picture %1").arg(name));
    return pictures;
}
