#include "data/data_layout.h"

#include <array>

#include "util/error.h"
#include "util/strings.h"

namespace data {

namespace {

constexpr std::array kLimbGroups = {
    EntryGroup{GroupKind::Documents, "LimbPic_"},
    EntryGroup{GroupKind::Pictures, "Data.LimbPic"},
    EntryGroup{GroupKind::Documents, "Limb_"},
};
constexpr std::array kSptGroups = {EntryGroup{GroupKind::Single, "Spt.json"}};
constexpr std::array kBgGroups = {EntryGroup{GroupKind::Single, "BgInfoFile.json"}};
constexpr std::array kGdatGroups = {
    EntryGroup{GroupKind::Documents, "Attack_"},
    EntryGroup{GroupKind::Documents, "PtWithName_"},
};

// Every kind, in the order in which symbol names are matched.
constexpr std::array<DataLayout, 4> kLayouts = {{
    {DataKind::LimbInfo, "limbInfo", "Lmi", kLimbGroups,
     N_("Please do not change the format of the file names. They must start with \"LimbPic_\" or \"Limb_\" in case of "
        ".json files and be numbered accordingly to their order.\n")},
    {DataKind::Spt, "Spt", "Spt", kSptGroups,
     N_("Please do not change the format of the file name. It should be \"Spt.json\".\n")},
    {DataKind::Bg, "Bg", "Bgi", kBgGroups,
     N_("Please do not change the format of the file name. It should be \"BgInfoFile.json\".\n")},
    {DataKind::Gdat, "gdat", "Dat", kGdatGroups,
     N_("Please do not change the format of the file names. They must start with \"Attack_\" or \"PtWithName_\" in "
        "case of .json files and be numbered accordingly to their order.\n")},
}};

}  // namespace

const DataLayout& layoutOf(DataKind kind) {
    for (const DataLayout& layout : kLayouts) {
        if (layout.kind == kind) return layout;
    }
    return kLayouts.front();
}

const DataLayout* layoutWithTag(const std::string& tag) {
    for (const DataLayout& layout : kLayouts) {
        if (tag == layout.tag) return &layout;
    }
    return nullptr;
}

std::optional<DataKind> kindOfSymbol(const std::string& symbol) {
    for (const DataLayout& layout : kLayouts) {
        if (endsWith(symbol, layout.symbolSuffix)) return layout.kind;
    }
    return std::nullopt;
}

std::string documentName(const EntryGroup& group, int n) { return group.name + std::to_string(n) + kDocumentExtension; }

std::string pictureName(int n) { return std::to_string(n) + kPictureExtension; }

bool belongsTo(const EntryGroup& group, const std::string& name) {
    switch (group.kind) {
        case GroupKind::Single:
            return name == group.name;
        case GroupKind::Documents:
            return startsWith(name, group.name) && endsWith(name, kDocumentExtension);
        case GroupKind::Pictures:
            return endsWith(name, kPictureExtension);
    }
    return false;
}

}  // namespace data
