// Tag type names, and the lookups of tags by code, character id and symbol.

#include "swf/swf.h"

namespace swf {

const std::map<int, std::string> SWF::tagTypeNames = {
    {-1, "File Header"},        {0, "End"},                   {1, "ShowFrame"},
    {2, "DefineShape"},         {3, "FreeCharacter"},         {4, "PlaceObject"},
    {5, "RemoveObject"},        {6, "DefineBitsJPEG"},        {7, "DefineButton"},
    {8, "JPEGTables"},          {9, "SetBackgroundColor"},    {10, "DefineFont"},
    {11, "DefineText"},         {12, "DoAction"},             {13, "DefineFontInfo"},
    {14, "DefineSound"},        {15, "StartSound"},           {16, "StopSound"},
    {17, "DefineButtonSound"},  {18, "SoundStreamHead"},      {19, "SoundStreamBlock"},
    {20, "DefineBitsLossless"}, {21, "DefineBitsJPEG2"},      {22, "DefineShape2"},
    {23, "DefineButtonCxform"}, {24, "Protect"},              {25, "PathsArePostscript"},
    {26, "PlaceObject2"},       {28, "RemoveObject2"},        {29, "SyncFrame"},
    {31, "FreeAll"},            {32, "DefineShape3"},         {33, "DefineText2"},
    {34, "DefineButton2"},      {35, "DefineBitsJPEG3"},      {36, "DefineBitsLossless2"},
    {37, "DefineEditText"},     {38, "DefineVideo"},          {39, "DefineSprite"},
    {40, "NameCharacter"},      {41, "ProductInfo"},          {42, "DefineTextFormat"},
    {43, "FrameLabel"},         {45, "SoundStreamHead2"},     {46, "DefineMorphShape"},
    {47, "GenerateFrame"},      {48, "DefineFont2"},          {49, "GeneratorCommand"},
    {50, "DefineCommandObject"}, {51, "CharacterSet"},        {52, "ExternalFont"},
    {56, "Export"},             {57, "Import"},               {58, "EnableDebugger"},
    {59, "DoInitAction"},       {60, "DefineVideoStream"},    {61, "VideoFrame"},
    {62, "DefineFontInfo2"},    {63, "DebugID"},              {64, "EnableDebugger2"},
    {65, "ScriptLimits"},       {66, "SetTabIndex"},          {69, "FileAttributes"},
    {70, "PlaceObject3"},       {71, "Import2"},              {72, "DoABCDefine"},
    {73, "DefineFontAlignZones"}, {74, "CSMTextSettings"},    {75, "DefineFont3"},
    {76, "SymbolClass"},        {77, "Metadata"},             {78, "DefineScalingGrid"},
    {82, "DoABC"},              {83, "DefineShape4"},         {84, "DefineMorphShape2"},
    {86, "DefineSceneAndFrameData"}, {87, "DefineBinaryData"}, {88, "DefineFontName"},
    {90, "DefineBitsJPEG4"},
};

int SWF::tagId(const std::string& name) {
    for (const auto& [code, typeName] : tagTypeNames) {
        if (typeName == name) return code;
    }
    return -2;
}

const std::string& SWF::tagTypeName(int code) {
    static const std::string unknown = "Unknown";
    const auto it = tagTypeNames.find(code);
    return it == tagTypeNames.end() ? unknown : it->second;
}

Tag* SWF::getTagWithId(uint64_t id) {
    for (const auto& tag : tags) {
        if (tag->characterId == id) return tag.get();
    }
    return nullptr;
}

std::vector<Tag*> SWF::getTagsOfType(int code) {
    std::vector<Tag*> found;
    for (const auto& tag : tags) {
        if (tag->code == code) found.push_back(tag.get());
    }
    return found;
}

std::string SWF::getSymbolName(uint64_t id) const {
    for (const auto& tag : tags) {
        const auto* entries = dynamic_cast<const Tag_SymbolClass*>(tag.get());
        if (tag->code != codeOf(TagCode::SymbolClass) || entries == nullptr) continue;
        for (const auto& [symbolId, name] : entries->symbols) {
            if (symbolId != id) continue;
            std::string copy = name;
            if (!copy.empty() && copy.back() == '\0') copy.pop_back();
            return copy;
        }
    }
    return {};
}

}  // namespace swf
