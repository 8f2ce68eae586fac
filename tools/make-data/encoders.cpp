#include "tools/make-data/encoders.h"

#include <QBuffer>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace makedata {

namespace {

void Put16(Bytes& b, unsigned v) {
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(Bytes& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

}  // namespace

Bytes EncodeBmp(const QImage& image) {
    QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t data = stride * static_cast<std::uint32_t>(h);
    Bytes b;
    b.reserve(54 + data);
    b += "BM";
    Put32(b, 54 + data);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(w));
    Put32(b, static_cast<std::uint32_t>(h));
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);
    Put32(b, data);
    Put32(b, 3780);  // 96 dots per inch
    Put32(b, 3780);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            b += static_cast<char>(qBlue(row[x]));
            b += static_cast<char>(qGreen(row[x]));
            b += static_cast<char>(qRed(row[x]));
        }
        b.append(stride - static_cast<std::uint32_t>(w) * 3, '\0');
    }
    return b;
}

namespace {

// Packs variable-length codes least significant bit first into GIF data sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(Bytes& out) : out_(out) {}
    void Write(unsigned code, int bits) {
        acc_ |= static_cast<std::uint32_t>(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            Byte(acc_ & 0xFF);
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void Finish() {
        if (count_ > 0) Byte(acc_ & 0xFF);
        acc_ = 0;
        count_ = 0;
        Flush();
        out_ += '\0';  // block terminator
    }

private:
    void Byte(std::uint32_t v) {
        block_ += static_cast<char>(v);
        if (block_.size() == 255) Flush();
    }
    void Flush() {
        if (block_.empty()) return;
        out_ += static_cast<char>(block_.size());
        out_ += block_;
        block_.clear();
    }
    Bytes& out_;
    Bytes block_;
    std::uint32_t acc_ = 0;
    int count_ = 0;
};

}  // namespace

Bytes EncodeGif(const Indexed& pic) {
    if (pic.width <= 0 || pic.height <= 0 || pic.palette.size() > 256 ||
        pic.pixels.size() != static_cast<size_t>(pic.width) * pic.height) {
        throw std::invalid_argument("bad indexed picture");
    }
    Bytes b = "GIF89a";
    Put16(b, static_cast<unsigned>(pic.width));
    Put16(b, static_cast<unsigned>(pic.height));
    b += static_cast<char>(0xF7);  // global table, 8 bits of colour resolution, 256 entries
    b += '\0';                     // background colour index
    b += '\0';                     // square pixels
    for (int i = 0; i < 256; ++i) {
        QRgb c = i < static_cast<int>(pic.palette.size()) ? pic.palette[i] : 0;
        b += static_cast<char>(qRed(c));
        b += static_cast<char>(qGreen(c));
        b += static_cast<char>(qBlue(c));
    }
    b += ',';
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, static_cast<unsigned>(pic.width));
    Put16(b, static_cast<unsigned>(pic.height));
    b += '\0';  // no local table, not interlaced

    constexpr int kMinBits = 8;
    constexpr unsigned kClear = 1u << kMinBits, kEnd = kClear + 1, kMaxCode = 4095;
    b += static_cast<char>(kMinBits);
    CodeWriter out(b);
    // The string table as a trie: child[code * 256 + byte] is the code of that string plus byte.
    std::vector<std::uint16_t> child(4096 * 256, 0);
    int bits = kMinBits + 1;
    unsigned last = kEnd;  // the highest code in use
    out.Write(kClear, bits);
    unsigned current = pic.pixels[0];
    for (size_t i = 1; i < pic.pixels.size(); ++i) {
        const unsigned next = pic.pixels[i];
        const std::uint16_t known = child[current * 256 + next];
        if (known) {
            current = known;
            continue;
        }
        out.Write(current, bits);
        child[current * 256 + next] = static_cast<std::uint16_t>(++last);
        if (last >= (1u << bits) && bits < 12) ++bits;
        if (last == kMaxCode) {
            out.Write(kClear, bits);
            std::fill(child.begin(), child.end(), 0);
            bits = kMinBits + 1;
            last = kEnd;
        }
        current = next;
    }
    out.Write(current, bits);
    out.Write(kEnd, bits);
    out.Finish();
    b += ';';
    return b;
}

namespace {

struct Entry {
    QRgb colour;
    std::uint32_t count;
};

int Channel(QRgb c, int axis) {
    return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c);
}

struct Box {
    std::vector<Entry> entries;
    std::uint64_t pixels = 0;
    int axis = 0, range = 0;
    void Measure() {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        pixels = 0;
        for (const Entry& e : entries) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], Channel(e.colour, a));
                hi[a] = std::max(hi[a], Channel(e.colour, a));
            }
            pixels += e.count;
        }
        // Green weighs most and blue least, as the eye sees differences.
        const int weight[3] = {3, 4, 2};
        range = -1;
        for (int a = 0; a < 3; ++a) {
            int r = (hi[a] - lo[a]) * weight[a];
            if (r > range) range = r, axis = a;
        }
    }
    double Priority() const {
        return entries.size() < 2 ? -1.0 : std::sqrt(static_cast<double>(pixels)) * range;
    }
};

struct Mean {
    double r = 0, g = 0, b = 0, n = 0;
    void Add(QRgb c, double w) { r += qRed(c) * w, g += qGreen(c) * w, b += qBlue(c) * w, n += w; }
    QRgb Colour() const {
        auto ch = [&](double v) {
            return static_cast<int>(std::lround(std::clamp(v / n, 0.0, 255.0)));
        };
        return qRgb(ch(r), ch(g), ch(b));
    }
};

double Distance(double r, double g, double b, QRgb p) {
    double dr = r - qRed(p), dg = g - qGreen(p), db = b - qBlue(p);
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Nearest(const std::vector<QRgb>& palette, double r, double g, double b) {
    int best = 1;
    double bestD = 1e300;
    for (int i = 1; i < static_cast<int>(palette.size()); ++i) {
        double d = Distance(r, g, b, palette[i]);
        if (d < bestD) bestD = d, best = i;
    }
    return best;
}

}  // namespace

Indexed Quantize(const QImage& image, QRgb key) {
    QImage img = image.convertToFormat(QImage::Format_RGB32);
    key |= 0xFF000000u;
    const int w = img.width(), h = img.height();
    auto at = [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] | 0xFF000000u;
    };

    std::map<QRgb, std::uint32_t> histogram;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QRgb c = at(x, y);
            if (c != key) ++histogram[c];
        }
    }
    std::vector<QRgb> palette{key};
    if (!histogram.empty()) {
        std::vector<Box> boxes(1);
        for (auto [c, n] : histogram) boxes[0].entries.push_back({c, n});
        boxes[0].Measure();
        while (boxes.size() < 255) {
            auto widest = std::max_element(
                boxes.begin(), boxes.end(),
                [](const Box& a, const Box& b) { return a.Priority() < b.Priority(); });
            if (widest->Priority() < 0) break;
            Box& box = *widest;
            const int axis = box.axis;
            std::stable_sort(box.entries.begin(), box.entries.end(),
                             [axis](const Entry& a, const Entry& b) {
                                 return Channel(a.colour, axis) < Channel(b.colour, axis);
                             });
            std::uint64_t half = 0;
            size_t cut = 1;
            for (; cut < box.entries.size(); ++cut) {
                half += box.entries[cut - 1].count;
                if (half * 2 >= box.pixels) break;
            }
            cut = std::clamp<size_t>(cut, 1, box.entries.size() - 1);
            Box upper;
            upper.entries.assign(box.entries.begin() + static_cast<std::ptrdiff_t>(cut),
                                 box.entries.end());
            box.entries.resize(cut);
            box.Measure();
            upper.Measure();
            boxes.push_back(std::move(upper));
        }
        for (const Box& box : boxes) {
            Mean m;
            for (const Entry& e : box.entries) m.Add(e.colour, e.count);
            palette.push_back(m.Colour());
        }
        // Lloyd rounds over the histogram.
        for (int round = 0; round < 4; ++round) {
            std::vector<Mean> means(palette.size());
            for (auto [c, n] : histogram)
                means[Nearest(palette, qRed(c), qGreen(c), qBlue(c))].Add(c, n);
            for (size_t i = 1; i < palette.size(); ++i) {
                if (means[i].n > 0) palette[i] = means[i].Colour();
            }
        }
        // No face colour may equal the key.
        for (size_t i = 1; i < palette.size(); ++i) {
            if (palette[i] == key)
                palette[i] = qRgb(qRed(key) ^ 1, qGreen(key) ^ 1, qBlue(key) ^ 1);
        }
    }

    Indexed out;
    out.width = w;
    out.height = h;
    out.pixels.assign(static_cast<size_t>(w) * h, 0);
    // Serpentine Floyd-Steinberg; the error never crosses into key pixels.
    std::vector<std::array<float, 3>> err(static_cast<size_t>(w + 2) * 2, {0, 0, 0});
    auto errRow = [&](int parity) {
        return err.data() + static_cast<size_t>(parity) * (w + 2) + 1;
    };
    for (int y = 0; y < h; ++y) {
        auto* cur = errRow(y & 1);
        auto* nxt = errRow((y + 1) & 1);
        for (int i = -1; i <= w; ++i) nxt[i] = {0, 0, 0};
        const bool ltr = (y % 2) == 0;
        for (int k = 0; k < w; ++k) {
            const int x = ltr ? k : w - 1 - k;
            const int dir = ltr ? 1 : -1;
            QRgb c = at(x, y);
            if (c == key) continue;
            auto face = [&](int xx, int yy) {
                return xx >= 0 && xx < w && yy < h && at(xx, yy) != key;
            };
            const float r = std::clamp(qRed(c) + cur[x][0], 0.0f, 255.0f);
            const float g = std::clamp(qGreen(c) + cur[x][1], 0.0f, 255.0f);
            const float bl = std::clamp(qBlue(c) + cur[x][2], 0.0f, 255.0f);
            const int index = Nearest(palette, r, g, bl);
            out.pixels[static_cast<size_t>(y) * w + x] = static_cast<std::uint8_t>(index);
            const QRgb p = palette[index];
            const float e[3] = {r - qRed(p), g - qGreen(p), bl - qBlue(p)};
            auto spread = [&](std::array<float, 3>* row, int xx, int yy, float f) {
                if (!face(xx, yy)) return;
                for (int a = 0; a < 3; ++a) row[xx][a] += e[a] * f;
            };
            spread(cur, x + dir, y, 7 / 16.0f);
            spread(nxt, x - dir, y + 1, 3 / 16.0f);
            spread(nxt, x, y + 1, 5 / 16.0f);
            spread(nxt, x + dir, y + 1, 1 / 16.0f);
        }
    }
    out.palette = std::move(palette);
    return out;
}

Bytes EncodeCursor(const QImage& image, QPoint hotspot) {
    QImage img = image.convertToFormat(QImage::Format_ARGB32).scaled(32, 32);
    constexpr std::uint32_t kColour = 32 * 32 * 4, kMask = 32 * 4;  // AND rows are 4 bytes
    constexpr std::uint32_t kImage = 40 + kColour + kMask;
    Bytes b;
    Put16(b, 0);
    Put16(b, 2);  // cursor
    Put16(b, 1);
    b += static_cast<char>(32);
    b += static_cast<char>(32);
    b += '\0';
    b += '\0';
    Put16(b, static_cast<unsigned>(hotspot.x()));
    Put16(b, static_cast<unsigned>(hotspot.y()));
    Put32(b, kImage);
    Put32(b, 22);
    Put32(b, 40);
    Put32(b, 32);
    Put32(b, 64);
    Put16(b, 1);
    Put16(b, 32);
    Put32(b, 0);
    Put32(b, kColour + kMask);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = 31; y >= 0; --y) {
        for (int x = 0; x < 32; ++x) {
            QRgb c = img.pixel(x, y);
            b += static_cast<char>(qBlue(c));
            b += static_cast<char>(qGreen(c));
            b += static_cast<char>(qRed(c));
            b += static_cast<char>(qAlpha(c));
        }
    }
    for (int y = 31; y >= 0; --y) {
        std::uint32_t bits = 0;
        for (int x = 0; x < 32; ++x) {
            if (qAlpha(img.pixel(x, y)) < 128) bits |= 0x80000000u >> x;
        }
        for (int i = 3; i >= 0; --i) b += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    return b;
}

Bytes EncodeWav(const std::vector<float>& samples, int sampleRate) {
    const auto data = static_cast<std::uint32_t>(samples.size() * 2);
    Bytes b = "RIFF";
    Put32(b, 36 + data);
    b += "WAVEfmt ";
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, static_cast<std::uint32_t>(sampleRate));
    Put32(b, static_cast<std::uint32_t>(sampleRate) * 2);
    Put16(b, 2);
    Put16(b, 16);
    b += "data";
    Put32(b, data);
    for (float s : samples) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        Put16(b, static_cast<unsigned>(static_cast<std::int16_t>(v)) & 0xFFFF);
    }
    return b;
}

Bytes EncodeJpeg(const QImage& image, int quality) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", quality)) {
        throw std::runtime_error("JPEG writer failed");
    }
    return Bytes(data.constData(), static_cast<size_t>(data.size()));
}

}  // namespace makedata
