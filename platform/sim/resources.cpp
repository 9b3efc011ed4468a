// The program image's resources: the embedded .res file, its bitmaps, icons, dialog templates
// and string tables, and the platform's resource operations on top of them.
#include "resources.h"

#include <cstring>
#include <map>

#include "sim_api.h"
#include "wide_strings.h"
#include "world.h"

namespace sim {

namespace {

constexpr DWORD ErrorResourceTypeNotFound = 1813;
constexpr DWORD ErrorResourceNameNotFound = 1814;

constexpr unsigned RtBitmap = 2;
constexpr unsigned RtIcon = 3;
constexpr unsigned RtDialog = 5;
constexpr unsigned RtString = 6;
constexpr unsigned RtGroupIcon = 14;


// Little-endian reads with bounds checks; every read fails once the cursor has run off the end.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
    const uint8_t* here() const { return data_ + pos_; }
    void seek(size_t pos) {
        if (pos > size_) ok_ = false;
        else pos_ = pos;
    }
    void skip(size_t n) { seek(pos_ + n); }
    void alignTo(size_t n) { seek((pos_ + n - 1) / n * n); }
    uint8_t u8() {
        if (!need(1)) return 0;
        return data_[pos_++];
    }
    uint16_t u16() {
        if (!need(2)) return 0;
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t lo = u16();
        uint32_t hi = u16();
        return lo | (hi << 16);
    }
    int16_t s16() { return static_cast<int16_t>(u16()); }
    int32_t s32() { return static_cast<int32_t>(u32()); }
    // A NUL-terminated UTF-16 string.
    std::u16string string() {
        std::u16string s;
        while (ok_) {
            char16_t c = static_cast<char16_t>(u16());
            if (!ok_ || c == 0) break;
            s.push_back(c);
        }
        return s;
    }
    // 0xFFFF then an ordinal, or a NUL-terminated string. With zeroIsNone a lone 0 stands for
    // "none" (ordinal 0), as for the menu and class of a dialog template; otherwise it is the
    // empty string.
    TemplateNameOrOrdinal nameOrOrdinal(bool zeroIsNone = false) {
        TemplateNameOrOrdinal r;
        if (!need(2)) return r;
        uint16_t first = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        if (first == 0xFFFF) {
            pos_ += 2;
            r.isOrdinal = true;
            r.ordinal = u16();
        } else if (first == 0 && zeroIsNone) {
            pos_ += 2;
            r.isOrdinal = true;
            r.ordinal = 0;
        } else {
            r.text = string();
        }
        return r;
    }

private:
    bool need(size_t n) {
        if (!ok_ || size_ - pos_ < n) {
            ok_ = false;
            return false;
        }
        return true;
    }
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// A type or name as the platform takes it: an integer id, "#123" for that id, or a name.
bool matches(bool isId, unsigned id, const std::u16string& name, LPCWSTR wanted) {
    if (IS_INTRESOURCE(wanted)) return isId && id == static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(wanted));
    if (wanted[0] == u'#') {
        unsigned v = 0;
        const WCHAR* p = wanted + 1;
        if (*p == 0) return false;
        for (; *p; ++p) {
            if (*p < u'0' || *p > u'9') return false;
            v = v * 10 + static_cast<unsigned>(*p - u'0');
            if (v > 0xFFFF) return false;
        }
        return isId && id == v;
    }
    return !isId && sameName(name, wanted);
}

bool typeExists(LPCWSTR type) {
    for (const ResourceEntry& e : programResources())
        if (type && matches(e.typeIsId, e.typeId, e.typeName, type)) return true;
    return false;
}

const ResourceEntry* findById(unsigned type, unsigned id) {
    return findProgramResource(MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id));
}

COLORREF rgbQuad(const uint8_t* q) { return RGB(q[2], q[1], q[0]); }

// The colour part of a DIB; rows is the number of image rows (half the header height for icons).
// When maskOut is given, the AND mask that follows the colour rows is decoded into it.
bool decodeDibRows(const uint8_t* data, size_t size, bool iconImage, Image* out, Image* maskOut) {
    Reader r(data, size);
    uint32_t headerSize = r.u32();
    if (!r.ok() || headerSize < 40 || headerSize > size) return false;
    int32_t width = r.s32();
    int32_t height = r.s32();
    uint16_t planes = r.u16();
    uint16_t bits = r.u16();
    uint32_t compression = r.u32();
    r.skip(12);  // image size, resolution
    uint32_t coloursUsed = r.u32();
    if (!r.ok() || planes != 1 || compression != 0) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    bool topDown = height < 0;
    int64_t rows = topDown ? -static_cast<int64_t>(height) : height;
    if (iconImage) {
        if (topDown || rows % 2 != 0) return false;
        rows /= 2;
    }
    if (width <= 0 || rows <= 0 || width > 4096 || rows > 4096) return false;
    size_t paletteCount = 0;
    if (bits <= 8) {
        paletteCount = coloursUsed ? coloursUsed : (1u << bits);
        if (paletteCount > (1u << bits)) return false;
    }
    r.seek(headerSize);
    const uint8_t* palette = r.here();
    r.skip(paletteCount * 4);
    if (!r.ok()) return false;
    size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    size_t needed = stride * static_cast<size_t>(rows) + (maskOut ? maskStride * static_cast<size_t>(rows) : 0);
    if (r.remaining() < needed) return false;
    const uint8_t* pixels = r.here();

    out->width = width;
    out->height = static_cast<int>(rows);
    out->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(rows), 0);
    for (int64_t fileRow = 0; fileRow < rows; ++fileRow) {
        const uint8_t* row = pixels + static_cast<size_t>(fileRow) * stride;
        int64_t y = topDown ? fileRow : rows - 1 - fileRow;
        COLORREF* dst = &out->pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int32_t x = 0; x < width; ++x) {
            if (bits == 24) {
                dst[x] = rgbQuad(row + x * 3);
            } else if (bits == 32) {
                dst[x] = rgbQuad(row + x * 4);
            } else {
                unsigned index;
                if (bits == 8) index = row[x];
                else if (bits == 4) index = (row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
                else index = (row[x / 8] >> (7 - x % 8)) & 1;
                // An index past the palette is black, as the display drivers draw it.
                dst[x] = index < paletteCount ? rgbQuad(palette + index * 4) : 0;
            }
        }
    }
    if (maskOut) {
        const uint8_t* maskBits = pixels + stride * static_cast<size_t>(rows);
        maskOut->width = width;
        maskOut->height = static_cast<int>(rows);
        maskOut->pixels.assign(out->pixels.size(), 0);
        for (int64_t fileRow = 0; fileRow < rows; ++fileRow) {
            const uint8_t* row = maskBits + static_cast<size_t>(fileRow) * maskStride;
            int64_t y = rows - 1 - fileRow;
            for (int32_t x = 0; x < width; ++x) {
                bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
                maskOut->pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                    transparent ? 0xFFFFFF : 0x000000;
            }
        }
    }
    return true;
}

std::vector<ResourceEntry> parseEmbedded() {
    std::vector<ResourceEntry> entries;
    const std::vector<uint8_t>& bytes = programResourceBytes();
    parseResFile(bytes.data(), bytes.size(), &entries);
    return entries;
}

// The string of table entry id, as a pointer into the resource and a length; false when the
// block or the entry is missing or empty.
bool findString(unsigned id, const char16_t** text, size_t* length) {
    const ResourceEntry* block = findById(RtString, (id >> 4) + 1);
    if (!block) return false;
    Reader r(block->data, block->size);
    for (unsigned i = 0; i < (id & 15); ++i) r.skip(static_cast<size_t>(r.u16()) * 2);
    size_t n = r.u16();
    if (!r.ok() || n == 0 || r.remaining() < n * 2) return false;
    *text = reinterpret_cast<const char16_t*>(r.here());
    *length = n;
    return true;
}

}  // namespace

bool parseResFile(const uint8_t* data, size_t size, std::vector<ResourceEntry>* out) {
    out->clear();
    Reader r(data, size);
    bool first = true;
    while (r.ok() && r.remaining() > 0) {
        size_t start = r.pos();
        uint32_t dataSize = r.u32();
        uint32_t headerSize = r.u32();
        if (!r.ok() || headerSize < 16 || headerSize > size - start) return false;
        Reader header(data + start, headerSize);
        header.skip(8);
        TemplateNameOrOrdinal type = header.nameOrOrdinal();
        TemplateNameOrOrdinal name = header.nameOrOrdinal();
        if (!header.ok()) return false;
        r.seek(start + headerSize);
        if (!r.ok() || r.remaining() < dataSize) return false;
        // The file starts with an empty entry that only marks the format.
        bool marker = first && dataSize == 0 && type.isOrdinal && type.ordinal == 0;
        first = false;
        if (!marker) {
            ResourceEntry e;
            e.typeIsId = type.isOrdinal;
            e.typeId = type.ordinal;
            e.typeName = type.text;
            e.nameIsId = name.isOrdinal;
            e.nameId = name.ordinal;
            e.name = name.text;
            e.data = r.here();
            e.size = dataSize;
            out->push_back(std::move(e));
        }
        r.skip(dataSize);
        if (r.remaining() > 0) r.alignTo(4);
    }
    return r.ok();
}

const std::vector<ResourceEntry>& programResources() {
    static const std::vector<ResourceEntry> entries = parseEmbedded();
    return entries;
}

const ResourceEntry* findProgramResource(LPCWSTR type, LPCWSTR name) {
    if (!type || !name) return nullptr;
    for (const ResourceEntry& e : programResources()) {
        if (matches(e.typeIsId, e.typeId, e.typeName, type) && matches(e.nameIsId, e.nameId, e.name, name)) return &e;
    }
    return nullptr;
}

bool decodeDib(const uint8_t* data, size_t size, Image* out) {
    Image img;
    if (!decodeDibRows(data, size, false, &img, nullptr)) return false;
    *out = std::move(img);
    return true;
}

bool decodeIconImage(const uint8_t* data, size_t size, Image* colour, Image* mask) {
    // Images stored as PNG are not supported; the program's icons are all DIBs.
    Image c, m;
    if (!decodeDibRows(data, size, true, &c, &m)) return false;
    *colour = std::move(c);
    *mask = std::move(m);
    return true;
}

bool decodeBitmapResource(unsigned id, Image* out) {
    // The resources never change while the simulator runs: each is decoded once.
    static std::map<unsigned, std::pair<bool, Image>> decoded;
    auto it = decoded.find(id);
    if (it == decoded.end()) {
        const ResourceEntry* e = findById(RtBitmap, id);
        Image img;
        bool ok = e && decodeDib(e->data, e->size, &img);
        it = decoded.emplace(id, std::make_pair(ok, std::move(img))).first;
    }
    if (it->second.first) *out = it->second.second;
    return it->second.first;
}

bool decodeIconResource(unsigned id, int preferredSize, Image* colour, Image* mask) {
    const ResourceEntry* group = findById(RtGroupIcon, id);
    if (!group) return false;
    Reader r(group->data, group->size);
    r.skip(2);
    uint16_t type = r.u16();
    uint16_t count = r.u16();
    if (!r.ok() || type != 1 || count == 0) return false;
    int bestDistance = 1 << 30;
    unsigned bestId = 0;
    for (unsigned i = 0; i < count; ++i) {
        int width = r.u8();
        int height = r.u8();
        r.skip(10);  // colours, reserved, planes, bit count, bytes
        unsigned imageId = r.u16();
        if (!r.ok()) return false;
        if (width == 0) width = 256;
        if (height == 0) height = 256;
        int size = width > height ? width : height;
        int distance = size > preferredSize ? size - preferredSize : preferredSize - size;
        // On a tie the larger image wins: shrinking looks better than growing.
        if (distance < bestDistance || (distance == bestDistance && size > preferredSize)) {
            bestDistance = distance;
            bestId = imageId;
        }
    }
    const ResourceEntry* image = findById(RtIcon, bestId);
    return image && decodeIconImage(image->data, image->size, colour, mask);
}

bool parseDialogTemplate(const uint8_t* data, size_t size, DialogTemplateInfo* out) {
    Reader r(data, size);
    DialogTemplateInfo d;
    uint16_t version = r.u16();
    uint16_t signature = r.u16();
    d.extended = version == 1 && signature == 0xFFFF;
    r.seek(0);
    if (d.extended) {
        r.skip(8);  // version, signature, help id
        d.exStyle = r.u32();
        d.style = r.u32();
    } else {
        d.style = r.u32();
        d.exStyle = r.u32();
    }
    unsigned count = r.u16();
    d.x = r.s16();
    d.y = r.s16();
    d.cx = r.s16();
    d.cy = r.s16();
    d.menu = r.nameOrOrdinal(true);
    d.windowClass = r.nameOrOrdinal(true);
    d.caption = r.string();
    // DS_SETFONT, or DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS) in an extended template.
    d.hasFont = (d.style & 0x40) != 0;
    if (d.hasFont) {
        d.pointSize = r.u16();
        if (d.extended) {
            d.fontWeight = r.u16();
            d.italic = r.u8() != 0;
            d.charset = r.u8();
        }
        d.fontName = r.string();
    }
    if (!r.ok()) return false;
    for (unsigned i = 0; i < count; ++i) {
        r.alignTo(4);
        DialogControlInfo c;
        if (d.extended) {
            r.skip(4);  // help id
            c.exStyle = r.u32();
            c.style = r.u32();
        } else {
            c.style = r.u32();
            c.exStyle = r.u32();
        }
        c.x = r.s16();
        c.y = r.s16();
        c.cx = r.s16();
        c.cy = r.s16();
        c.id = d.extended ? r.u32() : r.u16();
        c.windowClass = r.nameOrOrdinal();
        c.text = r.nameOrOrdinal();
        size_t extra = r.u16();
        if (!r.ok()) return false;
        if (extra > 0) {
            // The byte count, then the bytes that the control receives at its creation.
            if (r.remaining() < extra) return false;
            c.creationData.assign(r.here(), r.here() + extra);
            r.skip(extra);
        }
        if (!r.ok()) return false;
        d.controls.push_back(std::move(c));
    }
    *out = std::move(d);
    return true;
}

std::u16string dialogControlClassName(const DialogControlInfo& control) {
    if (!control.windowClass.isOrdinal) return control.windowClass.text;
    switch (control.windowClass.ordinal) {
        case 0x80: return u"BUTTON";
        case 0x81: return u"EDIT";
        case 0x82: return u"STATIC";
        case 0x83: return u"LISTBOX";
        case 0x84: return u"SCROLLBAR";
        case 0x85: return u"COMBOBOX";
        default: return std::u16string();
    }
}

bool loadProgramString(unsigned id, std::u16string* out) {
    const char16_t* text = nullptr;
    size_t length = 0;
    if (!findString(id, &text, &length)) return false;
    out->assign(text, length);
    return true;
}

}  // namespace sim

// The resource operations of the platform. There is one program image, so the module handle
// does not choose anything.

HRSRC FindResourceW(HMODULE, LPCWSTR name, LPCWSTR type) {
    if (sim::shouldFail(sim::Op::FindResourceW)) {
        sim::setError(sim::ErrorResourceNameNotFound);
        return nullptr;
    }
    const sim::ResourceEntry* e = sim::findProgramResource(type, name);
    if (!e) {
        sim::setError(sim::typeExists(type) ? sim::ErrorResourceNameNotFound : sim::ErrorResourceTypeNotFound);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<sim::ResourceEntry*>(e));
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    if (sim::shouldFail(sim::Op::LoadResource)) {
        sim::setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!resource) {
        sim::setError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // The data stays where the image holds it for the whole run, as a module's resources do.
    return const_cast<uint8_t*>(reinterpret_cast<const sim::ResourceEntry*>(resource)->data);
}

LPVOID LockResource(HGLOBAL data) {
    if (sim::shouldFail(sim::Op::LockResource)) return nullptr;
    return data;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    if (sim::shouldFail(sim::Op::SizeofResource)) {
        sim::setError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!resource) {
        sim::setError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(reinterpret_cast<const sim::ResourceEntry*>(resource)->size);
}

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int maxCount) {
    if (sim::shouldFail(sim::Op::LoadStringW)) {
        sim::setError(sim::ErrorResourceNameNotFound);
        return 0;
    }
    if (!buffer || maxCount < 0) return 0;
    const char16_t* text = nullptr;
    size_t length = 0;
    if (!sim::findString(id, &text, &length)) {
        sim::setError(sim::ErrorResourceNameNotFound);
        if (maxCount > 0) buffer[0] = 0;
        return 0;
    }
    if (maxCount == 0) {
        // The buffer receives a read-only pointer to the string itself, which is not
        // NUL-terminated; the result is its length.
        *reinterpret_cast<const WCHAR**>(buffer) = text;
        return static_cast<int>(length);
    }
    size_t n = length < static_cast<size_t>(maxCount - 1) ? length : static_cast<size_t>(maxCount - 1);
    std::memcpy(buffer, text, n * sizeof(WCHAR));
    buffer[n] = 0;
    return static_cast<int>(n);
}
