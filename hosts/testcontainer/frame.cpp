#include "hosts/testcontainer/frame.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPixmap>
#include <QWidget>
#include <charconv>

#include "hosts/testcontainer/container.h"
#include "platform/com/dispatch.h"
#include "platform/ole/dialog.h"

namespace testcontainer {

namespace {

bool ParseInt(const std::string& text, int* value) {
    auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// The words from `from` on, as one text (a page title of several words).
std::string Rest(const std::vector<std::string>& args, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < args.size(); ++i) text += (text.empty() ? "" : " ") + args[i];
    return text;
}

std::string Quoted(const std::string& s) {
    return FormatValue(platform::com::Variant::String(s).get());
}

}  // namespace

FrameCommands::FrameCommands(std::ostream& out) : out_(out) {}

FrameCommands::~FrameCommands() {
    Close();
}

void FrameCommands::Close() {
    if (frame_) frame_->Close();
    frame_.reset();
}

bool FrameCommands::Fail(const std::string& why) {
    out_ << "failed: " << why << "\n";
    return false;
}

template <class F>
auto FrameCommands::Answering(F&& action) {
    platform::ole::DialogAnswers answers;
    answers.files.swap(openAnswers_);
    answers.onMessage = [this](const std::string& caption, const std::string& text) {
        out_ << "message " << caption << ": " << text << "\n";
    };
    answers.onFileDialog = [this](const std::string& title, const std::string& answer) {
        out_ << "open " << title << ": " << answer << "\n";
    };
    decltype(action()) result{};
    answers.Run([&] { result = action(); });
    openAnswers_.swap(answers.files);
    return result;
}

bool FrameCommands::Run(const std::vector<std::string>& args, IUnknown* control,
                        const std::string& name) {
    std::string what = args.size() > 1 ? args[1] : "";
    if (what == "open") return Open(args, control, name);
    if (what == "answer") {
        if (args.size() != 4 || args[2] != "open") {
            return Fail("usage: frame answer open <file>|cancel");
        }
        openAnswers_.push_back(args[3] == "cancel" ? std::string() : args[3]);
        return true;
    }
    if (!frame_ || !frame_->IsOpen()) return Fail("no property frame");
    if (what == "page") {
        if (args.size() < 3) return Fail("usage: frame page <number>|<title>");
        return SelectPage(Rest(args, 2));
    }
    if (what == "edit") {
        if (args.size() != 3) return Fail("usage: frame edit <member>");
        auto disp = platform::com::Query<IDispatch>(control, IID_IDispatch);
        DISPID id = disp ? platform::com::DispIdOf(disp.get(), args[2]) : DISPID_UNKNOWN;
        if (id == DISPID_UNKNOWN) return Fail("no member " + args[2]);
        HRESULT hr = frame_->EditProperty(id);
        if (FAILED(hr)) return Fail("no page edits " + args[2]);
        out_ << "page " << frame_->CurrentPage() + 1 << " "
             << frame_->PageTitle(frame_->CurrentPage()) << "\n";
        return true;
    }
    if (what == "fields") return Fields();
    if (what == "set") return Set(args);
    if (what == "apply") {
        HRESULT hr = Answering([this] { return frame_->Apply(); });
        if (FAILED(hr)) return Fail("apply: " + Hex(hr));
        out_ << "applied\n";
        return true;
    }
    if (what == "ok" || what == "cancel") {
        QWidget* button = frame_->Widget()->findChild<QWidget*>(what == "ok" ? "OK" : "Cancel");
        auto* b = qobject_cast<QAbstractButton*>(button);
        if (!b) return Fail("no button");
        Answering([b] {
            b->click();
            return 0;
        });
        if (frame_->Widget()->isVisible()) return Fail("the frame stays open");
        Close();
        out_ << "closed\n";
        return true;
    }
    if (what == "grab") {
        if (args.size() != 3) return Fail("usage: frame grab <file>");
        if (!frame_->Widget()->grab().save(QString::fromStdString(args[2]), "PNG")) {
            return Fail("cannot write " + args[2]);
        }
        out_ << "grabbed " << args[2] << "\n";
        return true;
    }
    if (what == "wait") return Wait();
    if (what == "close") {
        Close();
        return true;
    }
    return Fail("unknown frame command " + what);
}

bool FrameCommands::Open(const std::vector<std::string>& args, IUnknown* control,
                         const std::string& name) {
    if (!control) return Fail("no control");

    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return Fail("the property frame needs --gui");
    }
    Close();
    frame_ = std::make_unique<platform::ole::PropertyFrame>();
    HRESULT hr = frame_->Open(nullptr, name + " Properties", {control},
                              platform::ole::PropertyFrame::PagesOf(control));
    for (const auto& problem : frame_->Problems()) out_ << "problem: " << problem << "\n";
    if (FAILED(hr)) {
        frame_.reset();
        return Fail("cannot open the property frame: " + Hex(hr));
    }
    out_ << "frame " << name << ":";
    for (int i = 0; i < frame_->PageCount(); ++i) {
        out_ << (i ? ", " : " ") << frame_->PageTitle(i);
    }
    out_ << "\n";
    frame_->Show();
    if (args.size() > 2) return SelectPage(Rest(args, 2));
    return true;
}

bool FrameCommands::SelectPage(const std::string& which) {
    int index = -1;
    if (ParseInt(which, &index)) {
        --index;
    } else {
        for (int i = 0; i < frame_->PageCount(); ++i) {
            if (frame_->PageTitle(i) == which) index = i;
        }
    }
    if (index < 0 || index >= frame_->PageCount()) return Fail("no page " + which);
    HRESULT hr = frame_->SelectPage(index);
    if (FAILED(hr)) return Fail("cannot show the page " + which + ": " + Hex(hr));
    out_ << "page " << index + 1 << " " << frame_->PageTitle(index) << "\n";
    return true;
}

bool FrameCommands::Fields() {
    HWND page = frame_->PageWindow(frame_->CurrentPage());
    if (!page) return Fail("the page has no window");
    for (int id : platform::ole::DialogItemIds(page)) {
        std::string kind = platform::ole::DialogItemKind(page, id);
        if (kind == "static" || kind == "icon") continue;
        out_ << id << " " << kind;
        if (kind == "list") {
            LRESULT at = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
            LRESULT count = SendDlgItemMessageA(page, id, CB_GETCOUNT, 0, 0);
            out_ << " " << at << " " << Quoted(platform::ole::DialogItemText(page, id)) << " of "
                 << count;
        } else if (kind == "check") {
            out_ << " " << SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0);
        } else {
            char text[1024];
            GetDlgItemTextA(page, id, text, sizeof text);
            out_ << " " << Quoted(text);
        }
        out_ << "\n";
    }
    return true;
}

bool FrameCommands::Set(const std::vector<std::string>& args) {
    int id = 0;
    if (args.size() != 4 || !ParseInt(args[2], &id)) {
        return Fail("usage: frame set <id> <entry>|<0|1>|\"text\"|click");
    }
    HWND page = frame_->PageWindow(frame_->CurrentPage());
    std::string kind = platform::ole::DialogItemKind(page, id);
    const std::string& value = args[3];
    bool done = false;
    if (kind == "list") {
        int index = 0;
        if (!ParseInt(value, &index)) return Fail("a list takes an entry's index");
        done = platform::ole::UserSelect(page, id, index);
    } else if (kind == "check") {
        int state = 0;
        if (!ParseInt(value, &state) || (state != 0 && state != 1)) {
            return Fail("a check box takes 0 or 1");
        }
        done = SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == state ||
               platform::ole::UserClick(page, id);
    } else if (kind == "text") {
        platform::com::Variant text;
        std::string error;
        if (!ParseValue(value, &text, &error) || text.vt() != VT_BSTR) {
            return Fail("an edit box takes \"text\"");
        }
        done = platform::ole::UserType(page, id, platform::com::Utf8(text.get().bstrVal));
    } else if (kind == "button") {
        if (value != "click") return Fail("a button takes click");
        done = Answering([&] { return platform::ole::UserClick(page, id); });
    } else {
        return Fail("no field " + args[2]);
    }
    if (!done) return Fail("cannot set field " + args[2] + " to " + value);
    return true;
}

bool FrameCommands::Wait() {
    QWidget* w = frame_->Widget();
    w->show();
    QEventLoop loop;
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog) QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec();
    Close();
    out_ << "closed\n";
    return true;
}

}  // namespace testcontainer
