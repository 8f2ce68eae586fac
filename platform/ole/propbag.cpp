#include "platform/ole/propbag.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/object.h"
#include "platform/ole/oleauto.h"

namespace platform::ole {

namespace {

using platform::com::ComPtr;
using platform::com::Query;
using platform::com::SameName;
using platform::com::Variant;

bool ValidName(std::string_view n) {
    if (n.empty()) return false;
    for (size_t i = 0; i < n.size(); ++i) {
        char c = n[i];
        bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
                  (i > 0 && c >= '0' && c <= '9');
        if (!ok) return false;
    }
    return true;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    char buf[8];
    for (unsigned char c : s) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Unquote(std::string_view s, std::string& out) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
    out.clear();
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        char c = s[i];
        if (c == '"') return false;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 2 >= s.size()) return false;
        char e = s[++i];
        switch (e) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                if (i + 3 >= s.size()) return false;
                int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
                if (hi < 0 || lo < 0) return false;
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

std::string Text(const VARIANT& v) {
    Variant s;
    if (FAILED(VariantChangeType(s.ptr(), &v, VARIANT_NOVALUEPROP, VT_BSTR))) return {};
    return platform::com::Utf8(s.get().bstrVal);
}

// A real in the shortest form that reads back as the same number; empty for infinities and NaN,
// which have no literal.
// A 32-bit real takes the shortest form that reads back as the same 32-bit real.
template <class Real>
std::string RealLiteral(Real d) {
    if (!std::isfinite(d)) return {};
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    std::string out(buf, r.ptr);
    // A whole number keeps a point, so that it reads back as a real and not as a whole number.
    if (out.find_first_of(".eEn") == std::string::npos) out += ".0";
    return out;
}

// Dates from the first day of the year 100 to the last second of the year 9999, as days from
// 1899-12-30: the dates the date literal can name.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958465.0 + 86399.0 / 86400.0;

// A date as "#yyyy-mm-dd hh:mm:ss#" when that reads back as the same date, else as its number of
// days ("#1.5000001#"), which also reads back exactly; empty outside the dates a literal names.
std::string DateLiteral(DATE date) {
    if (!(date >= kFirstDate && date <= kLastDate)) return {};
    std::string text = "#" + Text(Variant::Date(date).get()) + "#";
    Variant back;
    Variant inner = Variant::String(text.substr(1, text.size() - 2));
    if (SUCCEEDED(VariantChangeType(back.out(), &inner.get(), 0, VT_DATE)) &&
        back.get().date == date) {
        return text;
    }
    return "#" + RealLiteral(date) + "#";
}

// The literal of a stored value; empty when the type has none.
std::string Literal(const VARIANT& v) {
    char buf[32];
    switch (v.vt) {
        case VT_EMPTY:
            return "Empty";
        case VT_NULL:
            return "Null";
        case VT_BOOL:
            return v.boolVal ? "True" : "False";
        case VT_UI4:
            std::snprintf(buf, sizeof buf, "&H%08X&", static_cast<unsigned>(v.ulVal));
            return buf;
        case VT_BSTR:
            return Quote(platform::com::Utf8(v.bstrVal));
        case VT_DATE:
            return DateLiteral(v.date);
        case VT_R4:
            return RealLiteral(v.fltVal);
        case VT_R8:
            return RealLiteral(v.dblVal);
        case VT_I1:
        case VT_UI1:
        case VT_I2:
        case VT_UI2:
        case VT_I4:
        case VT_INT:
        case VT_UINT:
        case VT_I8:
        case VT_CY:
            return Text(v);
        default:
            return {};
    }
}

bool ParseLiteral(std::string_view s, Variant& out) {
    if (s.empty()) return false;
    if (s.front() == '"') {
        std::string text;
        if (!Unquote(s, text)) return false;
        out = Variant::String(text);
        return true;
    }
    if (SameName(s, "True") || SameName(s, "False")) {
        out = Variant::Bool(SameName(s, "True"));
        return true;
    }
    if (SameName(s, "Null")) {
        out = Variant::Null();
        return true;
    }
    if (SameName(s, "Empty")) {
        out = Variant();
        return true;
    }
    if (s.size() > 2 && s.front() == '#' && s.back() == '#') {
        Variant text = Variant::String(s.substr(1, s.size() - 2));
        if (FAILED(VariantChangeType(out.out(), &text.get(), 0, VT_DATE))) return false;
        // Only the dates a literal can name again (years 100 to 9999).
        return !DateLiteral(out.get().date).empty();
    }
    if (s.size() > 3 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h') && s.back() == '&') {
        std::string_view digits = s.substr(2, s.size() - 3);
        unsigned long long n = 0;
        auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n, 16);
        if (r.ec != std::errc() || r.ptr != digits.data() + digits.size() || n > 0xFFFFFFFFull) {
            return false;
        }
        out = Variant::UI4(static_cast<ULONG>(n));
        return true;
    }
    long long whole = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), whole);
    if (r.ec == std::errc() && r.ptr == s.data() + s.size()) {
        if (whole >= INT32_MIN && whole <= INT32_MAX) {
            out = Variant::I4(static_cast<LONG>(whole));
        } else {
            VARIANT* v = out.out();
            v->vt = VT_I8;
            v->llVal = whole;
        }
        return true;
    }
    double real = 0;
    auto rr = std::from_chars(s.data(), s.data() + s.size(), real);
    if (rr.ec == std::errc() && rr.ptr == s.data() + s.size() && std::isfinite(real)) {
        out = Variant::R8(real);
        return true;
    }
    return false;
}

// How deep object properties may nest (BeginProperty within BeginProperty): deeper text is
// refused, and so is an object whose properties would be written deeper.
constexpr int kMaxDepth = 64;

// "BeginProperty <name> <{CLSID}>"; a value named BeginProperty ("BeginProperty = 1") is no
// block.
bool StartsBlock(std::string_view line) {
    if (line.substr(0, 14) != "BeginProperty ") return false;
    size_t at = line.find_first_not_of(" \t", 14);
    return at != std::string_view::npos && line[at] != '=';
}

class Bag;

struct Entry {
    enum Kind { Value, Picture, Object } kind = Value;
    std::string name;
    Variant value;
    PictureData picture;
    CLSID clsid = GUID_NULL;
    ComPtr<Bag> child;  // the object's own properties
};

class Bag final : public platform::com::Object<TextPropertyBag> {
public:
    // A bag of object properties nested `depth` levels down (0: the top).
    explicit Bag(int depth = 0) : depth_(depth) {}

    void* GetInterface(REFIID riid) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyBag)
            return static_cast<IPropertyBag*>(this);
        return nullptr;
    }

    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* log) override;
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

    std::string ToText(int indent) const override;
    std::vector<std::string> Names() const override {
        std::vector<std::string> names;
        for (const auto& e : entries_) names.push_back(e.name);
        return names;
    }
    bool Has(std::string_view name) const override { return Find(name) != nullptr; }
    bool Remove(std::string_view name) override {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (SameName(it->name, name)) {
                entries_.erase(it);
                return true;
            }
        }
        return false;
    }

    // Reads the lines from lines[i] on (the lines of a BeginProperty block when nested); i ends
    // at the line that ends the block, or at the line that is wrong (its reason in *error).
    bool ParseLines(const std::vector<std::string>& lines, size_t& i, bool nested,
                    std::string* error);

private:
    const Entry* Find(std::string_view name) const {
        for (const auto& e : entries_) {
            if (SameName(e.name, name)) return &e;
        }
        return nullptr;
    }
    Entry& Slot(const std::string& name) {
        for (auto& e : entries_) {
            if (SameName(e.name, name)) {
                Entry fresh;
                fresh.name = e.name;
                e = std::move(fresh);
                return e;
            }
        }
        entries_.emplace_back();
        entries_.back().name = name;
        return entries_.back();
    }

    HRESULT WriteObject(const std::string& name, IUnknown* object);
    HRESULT ReadObject(const Entry& e, IErrorLog* log, ComPtr<IUnknown>& object) const;
    // The line kinds of ParseLines; each fails as ParseLines does.
    bool ParseObject(std::string_view rest, const std::vector<std::string>& lines, size_t& i,
                     std::string* error);
    bool ParsePicture(const std::string& name, std::string_view header,
                      const std::vector<std::string>& lines, size_t& i, std::string* error);
    bool ParseItem(std::string_view line, const std::vector<std::string>& lines, size_t& i,
                   std::string* error);

    std::vector<Entry> entries_;
    int depth_;
};

// A picture is kept as its data; another object as its class and its own properties.
HRESULT Bag::WriteObject(const std::string& name, IUnknown* object) {
    if (!object) {
        Slot(name).value = Variant::Null();
        return S_OK;
    }
    if (auto picture = Query<IPicture>(object, IID_IPicture)) {
        auto data = SavePictureData(picture.get());
        if (!data) return E_FAIL;
        Entry& e = Slot(name);
        e.kind = Entry::Picture;
        e.picture = *data;
        return S_OK;
    }
    auto persist = Query<IPersistPropertyBag>(object, IID_IPersistPropertyBag);
    if (!persist) return E_INVALIDARG;
    if (depth_ + 1 > kMaxDepth) return E_FAIL;
    CLSID clsid;
    auto child = platform::com::MakeObject<Bag>(depth_ + 1);
    HRESULT hr = persist->GetClassID(&clsid);
    if (SUCCEEDED(hr)) hr = persist->Save(child.get(), FALSE, TRUE);
    if (FAILED(hr)) return hr;
    Entry& e = Slot(name);
    e.kind = Entry::Object;
    e.clsid = clsid;
    e.child = std::move(child);
    return S_OK;
}

HRESULT Bag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (!pszPropName || !pVar) return E_POINTER;
    std::string name = platform::com::Utf8FromWide(pszPropName);
    if (!ValidName(name)) return E_INVALIDARG;
    Variant value;
    HRESULT hr = VariantCopyInd(value.ptr(), pVar);
    if (FAILED(hr)) return hr;
    const VARIANT& v = value.get();
    if (v.vt == VT_UNKNOWN || v.vt == VT_DISPATCH) return WriteObject(name, v.punkVal);
    if (Literal(v).empty()) return E_INVALIDARG;
    Slot(name).value = value;
    return S_OK;
}

// The object an entry keeps, made again: the picture from its data, another object by its class
// (the standard font by this layer) and loaded from its properties.
HRESULT Bag::ReadObject(const Entry& e, IErrorLog* log, ComPtr<IUnknown>& object) const {
    if (e.kind == Entry::Picture) {
        object = LoadPictureData(e.picture);
        return object ? S_OK : CTL_E_INVALIDPICTURE;
    }
    ComPtr<IPersistPropertyBag> persist;
    HRESULT hr;
    if (e.clsid == CLSID_StdFont) {
        hr = OleCreateFontIndirect(nullptr, IID_IPersistPropertyBag, persist.outVoid());
    } else {
        hr = CoCreateInstance(e.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistPropertyBag,
                              persist.outVoid());
    }
    if (SUCCEEDED(hr)) hr = persist->Load(e.child.get(), log);
    if (SUCCEEDED(hr)) object = std::move(persist);
    return hr;
}

HRESULT Bag::Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* log) {
    if (!pszPropName || !pVar) return E_POINTER;
    std::string name = platform::com::Utf8FromWide(pszPropName);
    const Entry* e = Find(name);
    if (!e) return E_INVALIDARG;
    VARTYPE want = pVar->vt;
    Variant result;
    HRESULT hr = S_OK;
    if (e->kind == Entry::Value) {
        hr = VariantChangeType(result.ptr(), &e->value.get(), 0,
                               want == VT_EMPTY ? e->value.vt() : want);
    } else {
        ComPtr<IUnknown> object;
        hr = ReadObject(*e, log, object);
        if (object) {
            Variant holder = Variant::Unknown(object.get());
            VARTYPE as = want == VT_EMPTY ? static_cast<VARTYPE>(VT_DISPATCH) : want;
            hr = VariantChangeType(result.ptr(), &holder.get(), VARIANT_NOVALUEPROP, as);
            if (FAILED(hr) && want == VT_EMPTY) {
                result = holder;
                hr = S_OK;
            }
        }
    }
    if (FAILED(hr)) {
        if (log) {
            EXCEPINFO info{};
            info.scode = hr;
            log->AddError(pszPropName, &info);
        }
        return hr;
    }
    *pVar = result.detach();
    return S_OK;
}

std::string Bag::ToText(int indent) const {
    std::string pad(static_cast<size_t>(indent), ' ');
    std::string out;
    for (const auto& e : entries_) {
        switch (e.kind) {
            case Entry::Value:
                out += pad + e.name + " = " + Literal(e.value.get()) + "\n";
                break;
            case Entry::Picture: {
                out += pad + e.name + " = BeginPicture " + e.picture.type;
                if (e.picture.type != "none") {
                    out += " " + std::to_string(e.picture.width) + "x" +
                           std::to_string(e.picture.height);
                }
                out += "\n";
                QByteArray encoded = QByteArray(e.picture.bytes.data(),
                                                static_cast<qsizetype>(e.picture.bytes.size()))
                                         .toBase64();
                for (qsizetype at = 0; at < encoded.size(); at += 76) {
                    out += pad + "    " + encoded.mid(at, 76).toStdString() + "\n";
                }
                out += pad + "EndPicture\n";
                break;
            }
            case Entry::Object:
                out += pad + "BeginProperty " + e.name + " " +
                       platform::com::GuidToString(e.clsid) + "\n";
                out += e.child->ToText(indent + 4);
                out += pad + "EndProperty\n";
                break;
        }
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// FALSE, with the reason for lines[i] in *error ("line 3: ...").
bool Fail(std::string* error, size_t i, const std::string& why) {
    if (error) *error = "line " + std::to_string(i + 1) + ": " + why;
    return false;
}

// "BeginProperty <name> <{CLSID}>" and the block up to its EndProperty.
bool Bag::ParseObject(std::string_view rest, const std::vector<std::string>& lines, size_t& i,
                      std::string* error) {
    rest = Trim(rest);
    auto space = rest.find(' ');
    if (space == std::string_view::npos) {
        return Fail(error, i, "BeginProperty needs a name and a class");
    }
    std::string name(rest.substr(0, space));
    auto clsid = platform::com::ParseGuid(Trim(rest.substr(space + 1)));
    if (!ValidName(name) || !clsid) return Fail(error, i, "bad BeginProperty line");
    if (Find(name)) return Fail(error, i, "duplicate name " + name);
    if (depth_ + 1 > kMaxDepth) {
        return Fail(error, i,
                    "properties nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    auto child = platform::com::MakeObject<Bag>(depth_ + 1);
    ++i;
    if (!child->ParseLines(lines, i, true, error)) return false;
    Entry& e = Slot(name);
    e.kind = Entry::Object;
    e.clsid = *clsid;
    e.child = std::move(child);
    return true;
}

// "BeginPicture <type> [<width>x<height>]" after the name, the base64 lines and EndPicture. A
// failure names the BeginPicture line.
bool Bag::ParsePicture(const std::string& name, std::string_view header,
                       const std::vector<std::string>& lines, size_t& i, std::string* error) {
    std::istringstream words{std::string(header)};
    PictureData data;
    std::string size;
    words >> data.type >> size;
    if (data.type != "none" && data.type != "bitmap" && data.type != "icon" &&
        data.type != "metafile" && data.type != "emf") {
        return Fail(error, i, "unknown picture type '" + data.type + "'");
    }
    if (!size.empty() && std::sscanf(size.c_str(), "%dx%d", &data.width, &data.height) != 2) {
        return Fail(error, i, "bad picture size");
    }
    size_t start = i;
    QByteArray encoded;
    for (++i; i < lines.size() && Trim(lines[i]) != "EndPicture"; ++i) {
        std::string_view chunk = Trim(lines[i]);
        encoded.append(chunk.data(), static_cast<qsizetype>(chunk.size()));
    }
    if (i >= lines.size()) {
        i = start;
        return Fail(error, i, "BeginPicture without EndPicture");
    }
    auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        i = start;
        return Fail(error, i, "bad picture data");
    }
    data.bytes.assign(decoded.decoded.constData(), static_cast<size_t>(decoded.decoded.size()));
    Entry& e = Slot(name);
    e.kind = Entry::Picture;
    e.picture = std::move(data);
    return true;
}

// "<name> = <value>", or a picture.
bool Bag::ParseItem(std::string_view line, const std::vector<std::string>& lines, size_t& i,
                    std::string* error) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos) return Fail(error, i, "expected <name> = <value>");
    std::string name(Trim(line.substr(0, eq)));
    std::string_view value = Trim(line.substr(eq + 1));
    if (!ValidName(name)) return Fail(error, i, "bad name '" + name + "'");
    if (Find(name)) return Fail(error, i, "duplicate name " + name);
    if (value.substr(0, 13) == "BeginPicture ") {
        return ParsePicture(name, value.substr(13), lines, i, error);
    }
    Variant v;
    if (!ParseLiteral(value, v)) return Fail(error, i, "bad value '" + std::string(value) + "'");
    Slot(name).value = v;
    return true;
}

bool Bag::ParseLines(const std::vector<std::string>& lines, size_t& i, bool nested,
                     std::string* error) {
    for (; i < lines.size(); ++i) {
        std::string_view line = Trim(lines[i]);
        if (line.empty() || line.front() == '#') continue;
        if (line == "EndProperty") {
            return nested || Fail(error, i, "EndProperty without BeginProperty");
        }
        bool ok = StartsBlock(line) ? ParseObject(line.substr(14), lines, i, error)
                                    : ParseItem(line, lines, i, error);
        if (!ok) return false;
    }
    return !nested || Fail(error, i, "BeginProperty without EndProperty");
}

}  // namespace

ComPtr<TextPropertyBag> CreateTextPropertyBag() {
    return platform::com::MakeObject<Bag>();
}

ComPtr<TextPropertyBag> ParseTextPropertyBag(std::string_view text, std::string* error) {
    std::vector<std::string> lines;
    std::string current;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(current);
    auto bag = platform::com::MakeObject<Bag>();
    size_t i = 0;
    if (!bag->ParseLines(lines, i, false, error)) return nullptr;
    return bag;
}

}  // namespace platform::ole
