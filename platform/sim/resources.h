// The program's resources: the .res image that llvm-rc compiles from res/orvo.rc, embedded in
// the simulator, and decoders for its bitmaps and icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim_types.h"

namespace sim {

// Pixels top row first, left to right, as COLORREF values (0x00BBGGRR).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct ResourceEntry {
    bool typeIsId = true;
    unsigned typeId = 0;
    std::u16string typeName;
    bool nameIsId = true;
    unsigned nameId = 0;
    std::u16string name;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The raw bytes of the embedded .res file (defined by the build).
const std::vector<uint8_t>& programResourceBytes();

// Every resource of the embedded .res, in file order.
const std::vector<ResourceEntry>& programResources();

// type and name as the platform passes them: MAKEINTRESOURCEW ids or strings.
const ResourceEntry* findProgramResource(LPCWSTR type, LPCWSTR name);

// A bitmap resource (RT_BITMAP, a DIB) decoded to pixels; false when missing or not decodable.
bool decodeBitmapResource(unsigned id, Image* out);

// An icon group resource (RT_GROUP_ICON): the image whose size is closest to preferredSize,
// decoded to its colour image and its mask (0x000000 opaque, 0xFFFFFF transparent).
bool decodeIconResource(unsigned id, int preferredSize, Image* colour, Image* mask);

// The entries of a .res image, in file order, without the leading empty entry; false when the
// image is truncated or malformed (out then holds the entries read before the fault).
bool parseResFile(const uint8_t* data, size_t size, std::vector<ResourceEntry>* out);

// A DIB as RT_BITMAP holds it (BITMAPINFOHEADER, palette, rows): 1, 4, 8, 24 and 32 bits per
// pixel, uncompressed, bottom-up or top-down.
bool decodeDib(const uint8_t* data, size_t size, Image* out);

// One RT_ICON image: a DIB of doubled height holding the colour image, then the 1-bit AND mask.
bool decodeIconImage(const uint8_t* data, size_t size, Image* colour, Image* mask);

// A name or ordinal field of a dialog template (menu, class, control class, control text).
struct TemplateNameOrOrdinal {
    bool isOrdinal = false;
    unsigned ordinal = 0;
    std::u16string text;
};

struct DialogControlInfo {
    unsigned id = 0;  // as stored: 65535 for the controls without an id of a plain template
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    TemplateNameOrOrdinal windowClass;  // ordinal 0x80 BUTTON ... 0x85 COMBOBOX, or a class name
    TemplateNameOrOrdinal text;         // text, or a resource ordinal (the icon of an SS_ICON static)
    std::vector<uint8_t> creationData;
};

struct DialogTemplateInfo {
    bool extended = false;  // DLGTEMPLATEEX
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    TemplateNameOrOrdinal menu;         // ordinal 0 when there is none
    TemplateNameOrOrdinal windowClass;  // ordinal 0 when there is none
    std::u16string caption;
    bool hasFont = false;  // DS_SETFONT
    int pointSize = 0;
    int fontWeight = 0;  // extended templates only
    bool italic = false;
    int charset = 0;
    std::u16string fontName;
    std::vector<DialogControlInfo> controls;
};

// Parses a dialog template (plain or extended); false when it is truncated or malformed.
bool parseDialogTemplate(const uint8_t* data, size_t size, DialogTemplateInfo* out);

// The class name a control's class field stands for: "BUTTON", "EDIT", "STATIC", "LISTBOX",
// "SCROLLBAR" or "COMBOBOX" for the predefined ordinals, else the name as written.
std::u16string dialogControlClassName(const DialogControlInfo& control);

// The string-table entry id, or false when there is none (an empty entry counts as none).
bool loadProgramString(unsigned id, std::u16string* out);

}  // namespace sim
