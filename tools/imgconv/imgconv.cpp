// imgconv: turns the text pixel-art sources under res/images into the 8-bit BMP and ICO files
// that the resource compiler embeds.
//
// Source format (one image per file):
//   # comment lines and blank lines are ignored outside the pixel block
//   size <width> <height>
//   colour <char> none            a transparent pixel
//   colour <char> <r> <g> <b>     an opaque pixel of that colour
//   pixels
//   <height rows of exactly <width> characters, one character per pixel>
//
// Commands:
//   imgconv colour <source> <out.bmp>   colour image; transparent pixels are black
//   imgconv mask <source> <out.bmp>     mask; black where opaque, white where transparent
//   imgconv icon <out.ico> <source>...  icon with one image per source (8-bit colour + AND mask)
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Picture {
    int width = 0;
    int height = 0;
    // Per pixel: -1 transparent, otherwise an index into colours.
    std::vector<int> pixels;
    std::vector<Rgb> colours;
    bool transparentAt(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)] < 0; }
    Rgb colourAt(int x, int y) const {
        int i = pixels[static_cast<size_t>(y * width + x)];
        return i < 0 ? Rgb{} : colours[static_cast<size_t>(i)];
    }
};

bool fail(const std::string& where, const std::string& message) {
    std::fprintf(stderr, "imgconv: %s: %s\n", where.c_str(), message.c_str());
    return false;
}

bool parseComponent(const std::string& text, uint8_t* out) {
    if (text.empty() || text.size() > 3) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > 255) return false;
    *out = static_cast<uint8_t>(v);
    return true;
}

bool readPicture(const std::string& path, Picture* pic) {
    std::ifstream in(path);
    if (!in) return fail(path, "cannot open");
    std::map<char, int> legend;  // char -> colour index, -1 transparent
    std::string line;
    int lineNo = 0;
    bool inPixels = false;
    int row = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string where = path + ":" + std::to_string(lineNo);
        if (inPixels) {
            if (row >= pic->height) {
                if (line.empty()) continue;
                return fail(where, "more rows than the size says");
            }
            if (static_cast<int>(line.size()) != pic->width)
                return fail(where, "row has " + std::to_string(line.size()) + " pixels, expected " +
                                       std::to_string(pic->width));
            for (int x = 0; x < pic->width; ++x) {
                auto it = legend.find(line[static_cast<size_t>(x)]);
                if (it == legend.end()) return fail(where, std::string("undeclared colour '") + line[static_cast<size_t>(x)] + "'");
                pic->pixels[static_cast<size_t>(row * pic->width + x)] = it->second;
            }
            ++row;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "size") {
            if (!(words >> pic->width >> pic->height) || pic->width < 1 || pic->height < 1 || pic->width > 256 ||
                pic->height > 256)
                return fail(where, "bad size");
            pic->pixels.assign(static_cast<size_t>(pic->width * pic->height), -1);
        } else if (keyword == "colour") {
            std::string ch, r, g, b;
            words >> ch >> r;
            if (ch.size() != 1) return fail(where, "a colour is named by one character");
            if (legend.count(ch[0])) return fail(where, "colour declared twice");
            if (r == "none") {
                legend[ch[0]] = -1;
            } else {
                Rgb c;
                words >> g >> b;
                if (!parseComponent(r, &c.r) || !parseComponent(g, &c.g) || !parseComponent(b, &c.b))
                    return fail(where, "colour components are 0..255");
                pic->colours.push_back(c);
                legend[ch[0]] = static_cast<int>(pic->colours.size()) - 1;
            }
        } else if (keyword == "pixels") {
            if (pic->width == 0) return fail(where, "pixels before size");
            inPixels = true;
        } else {
            return fail(where, "unknown keyword '" + keyword + "'");
        }
    }
    if (!inPixels || row != pic->height) return fail(path, "expected " + std::to_string(pic->height) + " rows");
    return true;
}

void put16(std::vector<uint8_t>& b, unsigned v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A 256-entry palette and one index per pixel; entry 0 is black so that transparent pixels
// and the unused entries share it.
struct Indexed {
    std::array<Rgb, 256> palette{};
    std::vector<uint8_t> index;
};

bool toIndexed(const Picture& pic, bool asMask, Indexed* out, const std::string& path) {
    std::vector<Rgb> used{Rgb{0, 0, 0}};
    if (asMask) used.push_back(Rgb{255, 255, 255});
    out->index.resize(pic.pixels.size());
    for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
            Rgb c;
            if (asMask)
                c = pic.transparentAt(x, y) ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
            else
                c = pic.colourAt(x, y);
            size_t i = 0;
            while (i < used.size() && !(used[i] == c)) ++i;
            if (i == used.size()) {
                if (used.size() == 256) return fail(path, "more than 256 colours");
                used.push_back(c);
            }
            out->index[static_cast<size_t>(y * pic.width + x)] = static_cast<uint8_t>(i);
        }
    }
    for (size_t i = 0; i < used.size(); ++i) out->palette[i] = used[i];
    return true;
}

// BITMAPINFOHEADER, the palette and the bottom-up 8-bit rows; height is the header's height
// (doubled for an icon image, whose AND mask the caller appends).
void appendDib(std::vector<uint8_t>& b, const Picture& pic, const Indexed& ix, int headerHeight, uint32_t extraBytes) {
    uint32_t stride = (static_cast<uint32_t>(pic.width) + 3u) & ~3u;
    uint32_t imageBytes = stride * static_cast<uint32_t>(pic.height);
    put32(b, 40);
    put32(b, static_cast<uint32_t>(pic.width));
    put32(b, static_cast<uint32_t>(headerHeight));
    put16(b, 1);
    put16(b, 8);
    put32(b, 0);  // BI_RGB
    put32(b, imageBytes + extraBytes);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 256);
    put32(b, 0);
    for (const Rgb& c : ix.palette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = pic.height - 1; y >= 0; --y) {
        for (int x = 0; x < pic.width; ++x) b.push_back(ix.index[static_cast<size_t>(y * pic.width + x)]);
        for (uint32_t p = static_cast<uint32_t>(pic.width); p < stride; ++p) b.push_back(0);
    }
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return fail(path, "cannot create");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) return fail(path, "write failed");
    return true;
}

bool writeBmp(const std::string& source, const std::string& target, bool asMask) {
    Picture pic;
    Indexed ix;
    if (!readPicture(source, &pic) || !toIndexed(pic, asMask, &ix, source)) return false;
    std::vector<uint8_t> dib;
    appendDib(dib, pic, ix, pic.height, 0);
    std::vector<uint8_t> file{'B', 'M'};
    put32(file, static_cast<uint32_t>(14 + dib.size()));
    put32(file, 0);
    put32(file, 14 + 40 + 256 * 4);
    file.insert(file.end(), dib.begin(), dib.end());
    return writeFile(target, file);
}

bool writeIco(const std::string& target, const std::vector<std::string>& sources) {
    std::vector<std::vector<uint8_t>> images;
    std::vector<Picture> pics;
    for (const std::string& source : sources) {
        Picture pic;
        Indexed ix;
        if (!readPicture(source, &pic) || !toIndexed(pic, false, &ix, source)) return false;
        uint32_t maskStride = ((static_cast<uint32_t>(pic.width) + 31u) / 32u) * 4u;
        std::vector<uint8_t> image;
        appendDib(image, pic, ix, pic.height * 2, maskStride * static_cast<uint32_t>(pic.height));
        // AND mask: a set bit keeps the screen, so it is set exactly where the picture is transparent.
        for (int y = pic.height - 1; y >= 0; --y) {
            std::vector<uint8_t> row(maskStride, 0);
            for (int x = 0; x < pic.width; ++x)
                if (pic.transparentAt(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80u >> (x % 8));
            image.insert(image.end(), row.begin(), row.end());
        }
        images.push_back(std::move(image));
        pics.push_back(std::move(pic));
    }
    std::vector<uint8_t> file;
    put16(file, 0);
    put16(file, 1);
    put16(file, static_cast<unsigned>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(pics[i].width == 256 ? 0 : pics[i].width));
        file.push_back(static_cast<uint8_t>(pics[i].height == 256 ? 0 : pics[i].height));
        file.push_back(0);  // 256 colours
        file.push_back(0);
        put16(file, 1);
        put16(file, 8);
        put32(file, static_cast<uint32_t>(images[i].size()));
        put32(file, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    return writeFile(target, file);
}

int usage() {
    std::fprintf(stderr,
                 "usage: imgconv colour <source> <out.bmp>\n"
                 "       imgconv mask <source> <out.bmp>\n"
                 "       imgconv icon <out.ico> <source>...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    std::string command = argv[1];
    bool ok = false;
    if ((command == "colour" || command == "mask") && argc == 4) {
        ok = writeBmp(argv[2], argv[3], command == "mask");
    } else if (command == "icon") {
        ok = writeIco(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    } else {
        return usage();
    }
    return ok ? 0 : 1;
}
