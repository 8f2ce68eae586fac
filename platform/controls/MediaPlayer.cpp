#include "platform/controls/MediaPlayer.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <utility>

#include "platform/base/report.h"
#include "platform/files/files.h"
#include "platform/vb/App.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"

namespace controls {

namespace {
MediaEngineFactory& factory() {
    static MediaEngineFactory f = [] { return CreateGstEngine(); };
    return f;
}
}  // namespace

void SetMediaEngineFactory(MediaEngineFactory f) {
    factory() = f ? std::move(f) : MediaEngineFactory([] { return CreateGstEngine(); });
}

// The surface video is drawn on; it also takes the keys and the mouse for the control's events.
class MediaPlayer::Screen : public QWidget {
public:
    Screen(MediaPlayer* player, QWidget* parent) : QWidget(parent), player_(player) {
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (player_->engine_ && player_->engine_->HasVideo()) return;  // the engine draws
        QPainter(this).fillRect(rect(), Qt::black);
    }
    void keyReleaseEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape && player_->fullScreen_) {
            player_->LeaveFullScreen();
            return;
        }
        if (player_->KeyUp) {
            vb::Dispatch((player_->Name() + "_KeyUp").c_str(), [&] {
                player_->KeyUp(e->key() & 0xffff, vb::ShiftValueOf(e->modifiers()));
            });
        }
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (!e->text().isEmpty() && player_->KeyPress) {
            int code = e->text().at(0).unicode();
            vb::Dispatch((player_->Name() + "_KeyPress").c_str(), [&] { player_->KeyPress(code); });
        }
    }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        if (player_->fullScreen_) player_->LeaveFullScreen();
    }

private:
    MediaPlayer* player_;
};

// The screen of its own the video takes in full screen. It takes the focus when it comes up, and
// takes it back from any other window of the program that comes up after it on its own (the
// remote, shown in the same step, may be mapped late on a busy desktop) until the user first
// presses a key or a button or moves the pointer (a move over the video brings the remote up,
// which then keeps the focus). Escape in any window of the program, or a double click on it,
// leaves it.
class MediaPlayer::FullScreen : public QWidget {
public:
    explicit FullScreen(MediaPlayer* player) : player_(player) {
        setWindowTitle("Kesto Video");
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
        qApp->installEventFilter(this);
    }
    ~FullScreen() override { qApp->removeEventFilter(this); }

    // Brings the window up and gives it the focus, also once the windows shown in the same step
    // (the remote) have taken theirs.
    void Enter() {
        pointerAtEnter_ = QCursor::pos();
        showFullScreen();
        TakeFocus();
        QTimer::singleShot(0, this, [this] { TakeFocus(); });
        QTimer::singleShot(250, this, [this] { TakeFocus(); });
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::KeyPress) {
            settling_ = false;
        }
        if (e->type() == QEvent::WindowActivate && Settling() && o != this && o->isWidgetType() &&
            static_cast<QWidget*>(o)->isWindow()) {
            // Asked once the activation has been handled, and only if the user did nothing first.
            QTimer::singleShot(0, this, [this] {
                if (Settling()) TakeFocus();
            });
        }
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_Escape) return false;
        // The press leaves; its release is no key of the video's.
        if (e->type() == QEvent::KeyPress) {
            QTimer::singleShot(0, player_->screen_, [p = player_] { p->LeaveFullScreen(); });
        }
        return true;
    }
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        QTimer::singleShot(0, player_->screen_, [p = player_] { p->LeaveFullScreen(); });
    }

private:
    void TakeFocus() {
        if (!isVisible()) return;
        raise();
        activateWindow();
        player_->screen_->setFocus();
    }
    // The pointer moved by the user ends it too; a window coming up under it moves nothing.
    bool Settling() {
        if (settling_ && QCursor::pos() != pointerAtEnter_) settling_ = false;
        return settling_;
    }
    MediaPlayer* player_;
    bool settling_ = true;
    QPoint pointerAtEnter_;
};

MediaPlayer::MediaPlayer(vb::Form* form, const char* name, vb::Control* container)
    : vb::Control(form, name, container) {
    screen_ = new Screen(this, ContainerWidget());
    Attach(screen_);
}

MediaEngine& MediaPlayer::Engine() const {
    if (!engine_) {
        engine_ = factory()();
        engine_->SetVideoWindow(screen_);
        auto* self = const_cast<MediaPlayer*>(this);
        engine_->onEndOfStream = [self] {
            // Full screen ends with the media.
            self->LeaveFullScreen();
            if (self->EndOfStream) {
                vb::Dispatch((self->Name() + "_EndOfStream").c_str(),
                             [self] { self->EndOfStream(0); });
            }
        };
        auto volume = std::exchange(pendingVolume_, std::nullopt);
        auto mute = std::exchange(pendingMute_, std::nullopt);
        if (volume) engine_->SetVolume(*volume);
        if (mute) engine_->SetMute(*mute);
    }
    return *engine_;
}

MediaPlayer::~MediaPlayer() {
    if (engine_) {
        engine_->onEndOfStream = nullptr;
        engine_->SetVideoWindow(nullptr);
    }
    engine_.reset();
}

void MediaPlayer::SetFileName(const std::string& path) {
    fileName_ = path;
    // The name reads back as given; the file is found without regard to letter case.
    const std::string resolved = platform::files::Resolve(path);
    try {
        Engine().Open(resolved);
    } catch (const MediaError& e) {
        screen_->update();
        // The reason names the file by its name: the folder is no help to the person reading it.
        std::string why = e.what();
        const std::string quoted = "\"" + resolved + "\"";
        if (auto at = why.find(quoted); at != std::string::npos && !resolved.empty()) {
            why.replace(at, quoted.size(), "\"" + platform::files::NameOf(resolved) + "\"");
        }
        errorDescription_ = why;
        platform::base::Report(vb::App::Title(), e.what());
        // One event for the failures of one step; none when a file played after them.
        if (!errorPending_) {
            errorPending_ = true;
            QTimer::singleShot(0, screen_, [this] {
                errorPending_ = false;
                if (Error && !errorDescription_.empty()) {
                    vb::Dispatch((Name() + "_Error").c_str(), Error);
                }
            });
        }
        throw;
    }
    errorDescription_.clear();
    screen_->update();
}

double MediaPlayer::Duration() const {
    return engine_ ? engine_->Duration() : 0;
}
double MediaPlayer::CurrentPosition() const {
    return engine_ ? engine_->Position() : 0;
}
void MediaPlayer::SetCurrentPosition(double seconds) {
    Engine().Seek(seconds);
}
void MediaPlayer::Play() {
    Engine().Play();
}
void MediaPlayer::Pause() {
    Engine().Pause();
}
void MediaPlayer::Stop() {
    LeaveFullScreen();  // no black screen stays when playback stops
    Engine().Stop();
}
long MediaPlayer::Volume() const {
    return Engine().Volume();
}
void MediaPlayer::SetVolume(long v) {
    if (!engine_) {
        pendingVolume_ = v;
        return;
    }
    engine_->SetVolume(v);
}
bool MediaPlayer::Mute() const {
    if (!engine_ && pendingMute_) return *pendingMute_;
    return Engine().Mute();
}
void MediaPlayer::SetMute(bool mute) {
    if (!engine_) {
        pendingMute_ = mute;
        return;
    }
    engine_->SetMute(mute);
}

void MediaPlayer::SetDisplaySize(long size) {
    if (size < 0 || size > 4) vb::Raise(vb::vbErrInvalidPropertyValue);
    displaySize_ = size;
    if (size != 3) {
        LeaveFullScreen();
        return;
    }
    if (fullScreen_) return;
    // The video leaves its window (which may be minimised or hidden) for a screen of its own.
    fullScreen_ = std::make_unique<FullScreen>(this);
    auto* layout = new QVBoxLayout(fullScreen_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    screen_->setParent(fullScreen_.get());
    layout->addWidget(screen_);
    screen_->show();
    fullScreen_->Enter();
    Engine().SetVideoWindow(screen_);
}

void MediaPlayer::LeaveFullScreen() {
    if (!fullScreen_) return;
    displaySize_ = 0;
    screen_->setParent(ContainerWidget());
    ApplyGeometry();
    screen_->show();
    fullScreen_.reset();
    Engine().SetVideoWindow(screen_);
}

}  // namespace controls
