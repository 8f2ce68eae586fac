#include "hosts/testcontainer/container.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/safearray.h"
#include "platform/gdi/gdi.h"
#include "platform/ole/oleauto.h"
#include "platform/ole/propbag.h"
#include "platform/win/paint.h"

namespace testcontainer {

using platform::com::ComPtr;
using platform::com::InvokeResult;
using platform::com::Variant;

namespace {

bool Unquote(const std::string& s, std::string* out) {
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') return false;
    out->clear();
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        char c = s[i];
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (i + 2 >= s.size()) return false;
        char e = s[++i];
        switch (e) {
            case 'n':
                *out += '\n';
                break;
            case 'r':
                *out += '\r';
                break;
            case 't':
                *out += '\t';
                break;
            case '\\':
                *out += '\\';
                break;
            case '"':
                *out += '"';
                break;
            default:
                return false;
        }
    }
    return true;
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

bool SameWord(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool ParseClass(const std::string& text, CLSID* clsid) {
    std::u16string wide = platform::com::Utf16(text);
    return SUCCEEDED(CLSIDFromString(wide.c_str(), clsid));
}

}  // namespace

std::string Hex(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(hr));
    return buf;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool quoted = false;
        while (i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i])))) {
            char c = line[i++];
            word += c;
            if (c == '\\' && quoted && i < line.size()) {
                word += line[i++];
            } else if (c == '"') {
                quoted = !quoted;
            }
        }
        words.push_back(word);
    }
    return words;
}

// The value parsers: each returns false with the reason in *error.
bool Refuse(std::string* error, const std::string& why) {
    *error = why;
    return false;
}

// The values a word names: true, false, empty, missing, nothing; none for another word.
std::optional<Variant> NamedValue(const std::string& text) {
    if (SameWord(text, "true") || SameWord(text, "false")) {
        return Variant::Bool(SameWord(text, "true"));
    }
    if (SameWord(text, "empty")) return Variant();
    if (SameWord(text, "missing")) return Variant::Missing();
    if (SameWord(text, "nothing")) return Variant::Dispatch(nullptr);
    return std::nullopt;
}

// "nopicture": a picture of type none.
bool MakeNoPicture(Variant* value, std::string* error) {
    PICTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.picType = PICTYPE_NONE;
    ComPtr<IDispatch> p;
    if (FAILED(OleCreatePictureIndirect(&desc, IID_IPictureDisp, TRUE, p.outVoid()))) {
        return Refuse(error, "cannot make a picture");
    }
    *value = Variant::Dispatch(p.get());
    return true;
}

// "picture:", "icon:", "metafile:" or "emf:" and a file.
bool ReadPictureFile(const std::string& kind, const std::string& file, Variant* value,
                     std::string* error) {
    auto picture = platform::ole::LoadPictureFile(file, kind == "picture" ? "bitmap" : kind);
    if (!picture) return Refuse(error, "cannot read the picture " + file);
    *value = Variant::Dispatch(picture.Query<IDispatch>(IID_IPictureDisp).get());
    return true;
}

// "bytes:" and hexadecimal digits, two a byte: an array of bytes.
bool ParseBytes(const std::string& digits, Variant* value, std::string* error) {
    if (digits.size() % 2) return Refuse(error, "bad bytes " + digits);
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(digits.size() / 2));
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        unsigned byte = 0;
        if (std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16).ec != std::errc()) {
            SafeArrayUnaccessData(array);
            SafeArrayDestroy(array);
            return Refuse(error, "bad bytes " + digits);
        }
        static_cast<BYTE*>(data)[i / 2] = static_cast<BYTE>(byte);
    }
    SafeArrayUnaccessData(array);
    VARIANT* v = value->out();
    v->vt = VT_ARRAY | VT_UI1;
    v->parray = array;
    return true;
}

// "&H<hex>[&]": 16 bits for up to four digits, else 32 bits.
bool ParseHex(const std::string& text, Variant* value, std::string* error) {
    std::string digits = text.substr(2);
    if (!digits.empty() && digits.back() == '&') digits.pop_back();
    unsigned long long n = 0;
    auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n, 16);
    if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size() ||
        n > 0xFFFFFFFFull) {
        return Refuse(error, "bad number " + text);
    }
    if (digits.size() <= 4) {
        *value = Variant::I2(static_cast<SHORT>(static_cast<USHORT>(n)));
    } else {
        *value = Variant::I4(static_cast<LONG>(static_cast<ULONG>(n)));
    }
    return true;
}

// A whole number (16 bits, 32 bits or else a real), or a real.
bool ParseNumber(const std::string& text, Variant* value, std::string* error) {
    long long whole = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), whole);
    if (r.ec == std::errc() && r.ptr == text.data() + text.size()) {
        if (whole >= -32768 && whole <= 32767) {
            *value = Variant::I2(static_cast<SHORT>(whole));
        } else if (whole >= INT32_MIN && whole <= INT32_MAX) {
            *value = Variant::I4(static_cast<LONG>(whole));
        } else {
            *value = Variant::R8(static_cast<double>(whole));
        }
        return true;
    }
    double real = 0;
    auto rr = std::from_chars(text.data(), text.data() + text.size(), real);
    if (rr.ec == std::errc() && rr.ptr == text.data() + text.size()) {
        *value = Variant::R8(real);
        return true;
    }
    return Refuse(error, "unknown value " + text);
}

bool ParseValue(const std::string& text, Variant* value, std::string* error) {
    if (text.empty()) return Refuse(error, "missing value");
    if (text.front() == '"') {
        std::string s;
        if (!Unquote(text, &s)) return Refuse(error, "bad text " + text);
        *value = Variant::String(s);
        return true;
    }
    if (auto named = NamedValue(text)) {
        *value = *named;
        return true;
    }
    if (SameWord(text, "nopicture")) return MakeNoPicture(value, error);
    auto colon = text.find(':');
    if (colon != std::string::npos) {
        std::string kind = text.substr(0, colon), rest = text.substr(colon + 1);
        if (kind == "picture" || kind == "icon" || kind == "metafile" || kind == "emf") {
            return ReadPictureFile(kind, rest, value, error);
        }
        if (kind == "bytes") return ParseBytes(rest, value, error);
        return Refuse(error, "unknown value " + text);
    }
    if (text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        return ParseHex(text, value, error);
    }
    return ParseNumber(text, value, error);
}

std::string FormatValue(const VARIANT& v) {
    switch (v.vt) {
        case VT_EMPTY:
            return "empty";
        case VT_NULL:
            return "null";
        case VT_BOOL:
            return v.boolVal ? "True" : "False";
        case VT_BSTR:
            return Quote(platform::com::Utf8(v.bstrVal));
        case VT_DISPATCH:
        case VT_UNKNOWN: {
            if (!v.punkVal) return "nothing";
            if (auto picture = platform::com::Query<IPicture>(v.punkVal, IID_IPicture)) {
                auto data = platform::ole::SavePictureData(picture.get());
                if (!data) return "(picture)";
                if (data->type == "none") return "(picture none)";
                return "(picture " + data->type + " " + std::to_string(data->width) + "x" +
                       std::to_string(data->height) + ")";
            }
            return "(object)";
        }
        default: {
            Variant text;
            if (FAILED(VariantChangeType(text.ptr(), &v, VARIANT_NOVALUEPROP, VT_BSTR))) {
                return platform::com::Describe(v);
            }
            return platform::com::Utf8(text.get().bstrVal);
        }
    }
}

Container::~Container() {
    frame_.Close();
    for (auto& c : controls_) c->host->Close();
    controls_.clear();
    for (auto& b : backdrops_) {
        objects_->Remove(static_cast<IOleObject*>(b.get()));
        b->Close(0);
    }
    backdrops_.clear();
    form_.reset();
}

namespace {

// Lets the window system handle what is waiting: the queued paints and posted messages, until
// none is left (at most a few seconds, so that a control that keeps asking cannot stall).
void Settle() {
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    while (clock.elapsed() < 5000 && quiet < 3) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        quiet = platform::win::MessagesPending() ? 0 : quiet + 1;
    }
}

// An OLE colour as a script writes it (a value that converts to a number), as a colour to draw;
// none, with the reason in *error, when it is not one.
std::optional<COLORREF> ParseColour(const std::string& text, std::string* error) {
    Variant value, as;
    if (!ParseValue(text, &value, error)) return std::nullopt;
    COLORREF out = 0;
    if (SUCCEEDED(VariantChangeType(as.ptr(), &value.get(), 0, VT_I4))) {
        OLE_COLOR colour = static_cast<OLE_COLOR>(as.get().lVal);
        if (value.vt() == VT_I2) colour &= 0xFFFF;
        if (SUCCEEDED(OleTranslateColor(colour, nullptr, &out))) return out;
    }
    *error = "bad colour " + text;
    return std::nullopt;
}

// The rectangle of args[1..4] (x, y, width, height in pixels, each within +-4096); a width or
// height below `least` is refused.
std::optional<RECT> ParseRect(const std::vector<std::string>& args, int least) {
    int v[4];
    for (int i = 0; i < 4; ++i) {
        auto r = std::from_chars(args[i + 1].data(), args[i + 1].data() + args[i + 1].size(), v[i]);
        if (r.ec != std::errc() || v[i] < -4096 || v[i] > 4096 || (i >= 2 && v[i] < least)) {
            return std::nullopt;
        }
    }
    return RECT{v[0], v[1], v[0] + v[2], v[1] + v[3]};
}

}  // namespace

bool Container::MakeForm(const std::vector<std::string>& args) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return Fail("the form needs --gui");
    }
    if (args.size() < 3 || args.size() > 4) return Fail("usage: form <width> <height> [<colour>]");
    int size[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        auto r =
            std::from_chars(args[i + 1].data(), args[i + 1].data() + args[i + 1].size(), size[i]);
        if (r.ec != std::errc() || size[i] <= 0 || size[i] > 4096) {
            return Fail("bad size " + args[i + 1]);
        }
    }
    COLORREF back = 0;
    if (args.size() == 4) {
        std::string error;
        std::optional<COLORREF> given = ParseColour(args[3], &error);
        if (!given) return Fail(error);
        back = *given;
    } else {
        OleTranslateColor(0x8000000F, nullptr, &back);  // the button face
    }
    if (form_) return Fail("the form is shown already");
    form_ = std::make_unique<Form>(size[0], size[1], back);
    Settle();
    out_ << "form " << size[0] << "x" << size[1] << "\n";
    return true;
}

bool Container::Place(const std::vector<std::string>& args) {
    Control* c = Current();
    if (!c) return Fail("no control");
    if (!form_) return Fail("no form");
    if (args.size() != 5) return Fail("usage: place <x> <y> <width> <height>");
    std::optional<RECT> pos = ParseRect(args, 0);
    if (!pos) return Fail("bad rectangle");
    HRESULT hr = c->host->Activate(form_->Handle(), *pos);
    if (FAILED(hr)) return Fail("cannot place " + c->name + ": " + Hex(hr));
    if (HWND window = c->host->Window()) {
        // On a backdrop host the window shows the host's backdrop beneath it.
        bool onHost = false;
        for (auto& b : backdrops_) {
            if (GetParent(window) == b->Window()) {
                b->AdoptWindow(window);
                onHost = true;
            }
        }
        if (!onHost) form_->AdoptWindow(window);
    }
    return true;
}

bool Container::MakeBackdrop(const std::vector<std::string>& args) {
    if (!form_) return Fail("no form");
    if (args.size() != 5 && args.size() != 6 && args.size() != 7) {
        return Fail(
            "usage: backdrop <x> <y> <width> <height> [<colour1> <colour2>|picture:<file>]");
    }
    std::optional<RECT> pos = ParseRect(args, 1);
    if (!pos) return Fail("bad rectangle");
    auto host = backdrop::BackdropHost::Create();
    if (args.size() == 7) {
        std::string error;
        std::optional<COLORREF> top = ParseColour(args[5], &error);
        std::optional<COLORREF> bottom = top ? ParseColour(args[6], &error) : std::nullopt;
        if (!bottom) return Fail(error);
        host->SetGradient(*top, *bottom);
    } else if (args.size() == 6) {
        if (args[5].rfind("picture:", 0) != 0) return Fail("usage: picture:<file>");
        std::string why;
        if (!host->LoadPicture(args[5].substr(8), &why)) return Fail(why);
    }
    HRESULT hr = host->Place(form_->Handle(), *pos);
    if (FAILED(hr)) return Fail("cannot place the backdrop: " + Hex(hr));
    objects_->Add(static_cast<IOleObject*>(host.get()));
    backdrops_.push_back(host);
    Settle();
    out_ << "backdrop " << backdrops_.size() << "\n";
    return true;
}

bool Container::Wait() {
    if (!form_) return Fail("no form");
    Settle();
    for (auto& c : controls_) {
        HWND window = c->host->Window();
        if (!window) continue;
        int count = platform::win::PaintCount(window);
        if (count != c->paintsSeen)
            out_ << "painted " << c->name << " " << count - c->paintsSeen << "\n";
        c->paintsSeen = count;
    }
    for (std::size_t i = 0; i < backdrops_.size(); ++i) {
        out_ << "backdrop " << i + 1 << " " << backdrops_[i]->Clients().size() << " clients\n";
    }
    return true;
}

bool Container::WritePicture(const std::vector<std::string>& args) {
    if (!form_) return Fail("no form");
    if (args.size() < 2 || args.size() > 3) return Fail("usage: picture <file> [<name>]");
    QImage image = form_->Picture();
    if (args.size() == 3) {
        Control* found = nullptr;
        for (auto& c : controls_) {
            if (c->name == args[2]) found = c.get();
        }
        if (!found || !found->host->Window()) return Fail("no placed control " + args[2]);
        image = form_->Picture(found->host->Site().Place());
    }
    if (image.isNull() || !image.save(QString::fromStdString(args[1]), "PNG")) {
        return Fail("cannot write " + args[1]);
    }
    RECT onScreen;
    GetWindowRect(form_->Handle(), &onScreen);
    out_ << "wrote " << args[1] << " (form at " << onScreen.left << " " << onScreen.top << ")\n";
    return true;
}

bool Container::Fail(const std::string& why) {
    out_ << "failed: " << why << "\n";
    return false;
}

Container::Control* Container::Current() {
    return current_;
}

DISPID Container::Member(Control& c, const std::string& text) {
    if (text.size() > 1 && text[0] == '#') {
        long long id = 0;
        auto r = std::from_chars(text.data() + 1, text.data() + text.size(), id);
        if (r.ec == std::errc() && r.ptr == text.data() + text.size())
            return static_cast<DISPID>(id);
        return DISPID_UNKNOWN;
    }
    return platform::com::DispIdOf(c.host->Dispatch(), text);
}

bool Container::Report(const std::string& member, const InvokeResult& r) {
    if (r.ok()) return true;
    if (r.hr == DISP_E_EXCEPTION) {
        out_ << "error " << r.ErrorNumber() << ": " << r.description << "\n";
    } else {
        out_ << "failed: " << member << ": " << Hex(r.hr) << "\n";
    }
    return false;
}

bool Container::Register(const std::vector<std::string>& args, const char* entry) {
    if (args.size() != 2) return Fail("usage: " + args[0] + " <library>");
    HMODULE module = LoadLibraryA(args[1].c_str());
    if (!module) return Fail("cannot load " + args[1]);
    auto fn = reinterpret_cast<LPFNREGISTERSERVER>(GetProcAddress(module, entry));
    HRESULT hr = fn ? fn() : E_FAIL;
    FreeLibrary(module);
    if (!fn) return Fail(args[1] + " has no " + entry);
    if (FAILED(hr)) return Fail(std::string(entry) + " returned " + Hex(hr));
    out_ << args[0] << "ed " << args[1] << "\n";
    return true;
}

bool Container::Create(const std::vector<std::string>& args, bool initNew) {
    if (args.size() < 2 || args.size() > 3) return Fail("usage: create <ProgID|{CLSID}> [<name>]");
    CLSID clsid;
    if (!ParseClass(args[1], &clsid)) return Fail("unknown class " + args[1]);
    std::string name = args.size() == 3 ? args[2] : "Control1";
    auto c = std::make_unique<Control>();
    c->name = name;
    c->className = args[1];
    c->host = std::make_unique<platform::ole::HostedControl>();
    HRESULT hr = c->host->Create(clsid, name, false);
    if (FAILED(hr)) return Fail("cannot create " + args[1] + ": " + Hex(hr));
    c->host->JoinContainer(objects_.get());
    c->host->Events().onEvent = [this, n = name](const platform::ole::EventSink::Event& e) {
        out_ << "event " << n << "." << e.name;
        for (const auto& a : e.args) out_ << " " << FormatValue(a.get());
        out_ << "\n" << std::flush;  // a watcher sees events the user causes at once
    };
    c->host->Site().onChanged = [this, n = name](DISPID id) {
        if (notices_) out_ << "notice " << n << " " << id << "\n";
    };
    if (initNew) {
        hr = c->host->InitNew();
        if (FAILED(hr)) return Fail("InitNew of " + name + ": " + Hex(hr));
    }
    for (auto it = controls_.begin(); it != controls_.end(); ++it) {
        if ((*it)->name == name) {
            (*it)->host->Close();
            controls_.erase(it);
            break;
        }
    }
    controls_.push_back(std::move(c));
    current_ = controls_.back().get();
    out_ << "created " << name << " " << platform::com::GuidToString(clsid) << "\n";
    return true;
}

bool Container::Set(const std::vector<std::string>& args, bool byReference) {
    Control* c = Current();
    if (!c) return Fail("no control");
    if (args.size() != 3) return Fail("usage: " + args[0] + " <member> <value>");
    DISPID id = Member(*c, args[1]);
    if (id == DISPID_UNKNOWN) return Fail("no member " + args[1]);
    Variant value;
    std::string error;
    if (!ParseValue(args[2], &value, &error)) return Fail(error);
    return Report(args[1], platform::com::PutProperty(c->host->Dispatch(), id, value, byReference));
}

bool Container::Get(const std::vector<std::string>& args) {
    Control* c = Current();
    if (!c) return Fail("no control");
    if (args.size() != 2) return Fail("usage: get <member>");
    DISPID id = Member(*c, args[1]);
    if (id == DISPID_UNKNOWN) return Fail("no member " + args[1]);
    auto r = platform::com::GetProperty(c->host->Dispatch(), id);
    if (!Report(args[1], r)) return false;
    out_ << args[1] << " = " << FormatValue(r.value.get()) << "\n";
    return true;
}

bool Container::CallMethod(const std::vector<std::string>& args) {
    Control* c = Current();
    if (!c) return Fail("no control");
    if (args.size() < 2) return Fail("usage: call <member> [<value> ...]");
    DISPID id = Member(*c, args[1]);
    if (id == DISPID_UNKNOWN) return Fail("no member " + args[1]);
    std::vector<Variant> values;
    std::vector<std::unique_ptr<Variant>> targets;  // what by-reference values point to
    for (std::size_t i = 2; i < args.size(); ++i) {
        Variant v;
        std::string error;
        bool byRef = args[i].rfind("byref:", 0) == 0;
        if (!ParseValue(byRef ? args[i].substr(6) : args[i], &v, &error)) return Fail(error);
        if (byRef) {
            targets.push_back(std::make_unique<Variant>(v));
            VARIANT ref;
            VariantInit(&ref);
            VARIANT* target = targets.back()->ptr();
            ref.vt = static_cast<VARTYPE>(target->vt | VT_BYREF);
            ref.byref = (target->vt & VT_ARRAY) ? static_cast<void*>(&target->parray)
                                                : static_cast<void*>(&target->iVal);
            if (target->vt == VT_BSTR) ref.pbstrVal = &target->bstrVal;
            VARIANT* slot = v.out();
            *slot = ref;  // borrowed: a by-reference variant owns nothing
        }
        values.push_back(std::move(v));
    }
    auto r = platform::com::CallMethod(c->host->Dispatch(), id, values);
    for (auto& v : values) {
        if (v.vt() & VT_BYREF) VariantInit(v.ptr());
    }
    if (!Report(args[1], r)) return false;
    if (r.value.vt() != VT_EMPTY)
        out_ << args[1] << " returned " << FormatValue(r.value.get()) << "\n";
    return true;
}

bool Container::Save(const std::vector<std::string>& args) {
    Control* c = Current();
    if (!c) return Fail("no control");
    if (args.size() < 2 || args.size() > 3 ||
        (args.size() == 3 && args[2] != "all" && args[2] != "changed")) {
        return Fail("usage: save <file> [all|changed]");
    }
    auto bag = platform::ole::CreateTextPropertyBag();
    HRESULT hr = c->host->Save(bag.get(), args.size() == 2 || args[2] == "all");
    if (FAILED(hr)) return Fail("Save: " + Hex(hr));
    std::ofstream file(args[1], std::ios::binary | std::ios::trunc);
    file << "Begin " << c->className << " " << c->name << "\n" << bag->ToText(4) << "End\n";
    if (!file) return Fail("cannot write " + args[1]);
    out_ << "saved " << c->name << " to " << args[1] << "\n";
    return true;
}

bool Container::Load(const std::vector<std::string>& args) {
    if (args.size() < 2 || args.size() > 3) return Fail("usage: load <file> [<name>]");
    std::ifstream file(args[1], std::ios::binary);
    if (!file) return Fail("cannot read " + args[1]);
    std::string header, line, body;
    std::getline(file, header);
    bool ended = false;
    while (std::getline(file, line)) {
        std::string trimmed = line;
        while (!trimmed.empty() && (trimmed.back() == '\r' || trimmed.back() == ' '))
            trimmed.pop_back();
        if (trimmed == "End") {
            ended = true;
            break;
        }
        body += line + "\n";
    }
    auto words = Words(header);
    if (words.size() != 3 || words[0] != "Begin" || !ended) {
        return Fail(args[1] + " is not a saved control");
    }
    std::string error;
    auto bag = platform::ole::ParseTextPropertyBag(body, &error);
    if (!bag) return Fail(args[1] + ": " + error);
    std::string name = args.size() == 3 ? args[2] : words[2];
    if (!Create({"create", words[1], name}, false)) return false;
    HRESULT hr = current_->host->Load(bag.get());
    if (FAILED(hr)) return Fail("Load: " + Hex(hr));
    out_ << "loaded " << name << " from " << args[1] << "\n";
    return true;
}

bool Container::Print(const std::vector<std::string>& args) {
    Control* c = Current();
    if (!c) return Fail("no control");
    if (args.size() != 2) return Fail("usage: print <file>|printer:[<name>]");
    if (!qApp) return Fail("printing needs --gui");
    std::string target = args[1];
    HDC dc = nullptr;
    if (target.rfind("printer:", 0) == 0) {
        target = target.substr(8);
        if (target.empty()) target = platform::gdi::DefaultPrinterName();
        if (target.empty()) return Fail("no printer");
        dc = CreateDCA("WINSPOOL", target.c_str(), nullptr, nullptr);
    } else {
        dc = CreateDCA(nullptr, kPdfPrinter, target.c_str(), nullptr);
    }
    if (!dc) return Fail("no printer " + target);
    DOCINFOA info{sizeof(DOCINFOA), c->name.c_str(), nullptr, nullptr, 0};
    // As a form run-time's printer object does when its context is asked for: a document and a
    // page are started.
    StartDocA(dc, &info);
    StartPage(dc);
    auto handle = Variant::I4(static_cast<LONG>(reinterpret_cast<std::uintptr_t>(dc)));
    DISPID id = Member(*c, "PrinterhDC");
    bool put = Report("PrinterhDC", platform::com::PutProperty(c->host->Dispatch(), id, handle));
    bool ended = EndDoc(dc) > 0;
    DeleteDC(dc);
    if (!put) return false;
    if (!ended) return Fail("the printer could not print");
    out_ << "printed " << target << "\n";
    return true;
}

bool Container::Run(const std::string& text) {
    auto args = Words(text);
    if (args.empty() || args[0][0] == '#') return true;
    const std::string& cmd = args[0];
    if (cmd == "register") return Register(args, "DllRegisterServer");
    if (cmd == "unregister") return Register(args, "DllUnregisterServer");
    if (cmd == "create") return Create(args);
    if (cmd == "set") return Set(args, false);
    if (cmd == "setref") return Set(args, true);
    if (cmd == "get") return Get(args);
    if (cmd == "call") return CallMethod(args);
    if (cmd == "save") return Save(args);
    if (cmd == "load") return Load(args);
    if (cmd == "print") return Print(args);
    if (cmd == "frame") {
        return frame_.Run(args, current_ ? current_->host->Object() : nullptr,
                          current_ ? current_->name : "");
    }
    if (cmd == "use") {
        if (args.size() != 2) return Fail("usage: use <name>");
        for (auto& c : controls_) {
            if (c->name == args[1]) {
                current_ = c.get();
                return true;
            }
        }
        return Fail("no control " + args[1]);
    }
    if (cmd == "close") {
        std::string name = args.size() > 1 ? args[1] : (current_ ? current_->name : "");
        for (auto it = controls_.begin(); it != controls_.end(); ++it) {
            if ((*it)->name == name) {
                frame_.Close();
                (*it)->host->Close();
                if (current_ == it->get()) current_ = nullptr;
                controls_.erase(it);
                return true;
            }
        }
        return Fail("no control " + name);
    }
    if (cmd == "mode") {
        if (!current_) return Fail("no control");
        if (args.size() != 2 || (args[1] != "design" && args[1] != "run")) {
            return Fail("usage: mode design|run");
        }
        current_->host->Site().SetUserMode(args[1] == "run");
        return true;
    }
    if (cmd == "show") {
        if (args.size() != 2) return Fail("usage: show <file>");
        std::ifstream file(args[1], std::ios::binary);
        if (!file) return Fail("cannot read " + args[1]);
        out_ << file.rdbuf();
        return true;
    }
    if (cmd == "form") return MakeForm(args);
    if (cmd == "place") return Place(args);
    if (cmd == "backdrop") return MakeBackdrop(args);
    if (cmd == "wait") return Wait();
    if (cmd == "picture") return WritePicture(args);
    if (cmd == "notices") {
        if (args.size() != 2 || (args[1] != "on" && args[1] != "off")) {
            return Fail("usage: notices on|off");
        }
        notices_ = args[1] == "on";
        return true;
    }
    if (cmd == "sleep") {
        int ms = 0;
        if (args.size() != 2 ||
            std::from_chars(args[1].data(), args[1].data() + args[1].size(), ms).ec !=
                std::errc() ||
            ms < 0) {
            return Fail("usage: sleep <ms>");
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            if (qApp) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            } else {
                QThread::msleep(50);
            }
        }
        return true;
    }
    if (cmd == "free") {
        CoFreeUnusedLibraries();
        return true;
    }
    if (cmd == "echo") {
        std::size_t at = text.find(cmd) + cmd.size();
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
        out_ << text.substr(at) << "\n";
        return true;
    }
    return Fail("unknown command " + cmd);
}

}  // namespace testcontainer
