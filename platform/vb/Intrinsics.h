// The intrinsic controls of the form run-time, with the run-time's rules.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/vb/Control.h"
#include "platform/vb/Picture.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QCheckBox;
class QPushButton;

namespace vb {

// A font as the controls take it.
struct Font {
    std::string name = "MS Sans Serif";
    float size = 8.25f;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// Applies a run-time font to a widget (a font the system lacks falls back to a similar one; a
// symbol font is drawn in the stand-in font of its symbols).
void ApplyFont(QWidget* widget, const Font& font);

// The symbol fonts "Webdings", "Wingdings" and "Symbol" are not on this system. A caption in one
// of them shows, character code by character code, Unicode symbols of the same role, all of which
// the stand-in font DejaVu Sans (fonts-dejavu-core) draws; a code without a symbol shows as it is.
inline constexpr const char* kSymbolStandInFont = "DejaVu Sans";
bool IsSymbolFont(const std::string& fontName);
// The text a caption in `fontName` shows: the symbols for a symbol font, else the caption itself.
std::string SymbolFontText(const std::string& fontName, const std::string& caption);

class Label : public Control {
public:
    Label(Form* form, const char* name, const std::string& caption = {},
          Control* container = nullptr);
    const char* TypeName() const override { return "Label"; }

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    COLORREF ForeColor() const { return fore_; }
    void SetForeColor(COLORREF color);
    COLORREF BackColor() const { return back_; }
    void SetBackColor(COLORREF color);
    // 0 transparent, 1 opaque.
    void SetBackStyle(int style);
    // 0 left, 1 right, 2 centre.
    void SetAlignment(int alignment);
    // A symbol font shows its caption's symbols (see SymbolFontText).
    void SetFont(const vb::Font& font);
    const vb::Font& Font() const { return font_; }
    void SetAutoSize(bool autoSize);

private:
    void Restyle();
    void ShowCaption();
    QLabel* label_;
    std::string caption_;
    vb::Font font_;
    COLORREF fore_ = 0x000000, back_ = 0xF0F0F0;
    int backStyle_ = 1;
    bool autoSize_ = false;
};

class TextBox : public Control {
public:
    TextBox(Form* form, const char* name, const std::string& text = {},
            Control* container = nullptr);
    const char* TypeName() const override { return "TextBox"; }
    const char* ClassName() const override { return "ThunderRT6TextBox"; }

    std::string Text() const;
    // Setting the text raises Change when it differs.
    void SetText(const std::string& text);
    // The character shown in place of every typed one ("" shows the text).
    void SetPasswordChar(const std::string& c);
    long SelStart() const;
    void SetSelStart(long start);
    long SelLength() const;
    void SetSelLength(long length);
    void SetLocked(bool locked);

    std::function<void()> Change;

private:
    QLineEdit* edit_;
};

class ListBox : public Control {
public:
    ListBox(Form* form, const char* name, Control* container = nullptr);
    const char* TypeName() const override { return "ListBox"; }
    const char* ClassName() const override { return "ThunderRT6ListBox"; }

    // AddItem at `index` (-1: at the end). An index past the end raises error 5; a list of
    // 32,767 entries takes no more (error 5).
    void AddItem(const std::string& item, long index = -1);
    // RemoveItem: error 5 outside 0..ListCount-1.
    void RemoveItem(long index);
    void Clear();
    // List(i): "" outside the list.
    std::string List(long index) const;
    void SetList(long index, const std::string& text);
    long ListCount() const { return static_cast<long>(items_.size()); }
    long ListIndex() const { return index_; }
    // -1 (no selection) to ListCount-1; anything else raises error 380 and keeps the selection.
    // A change raises Click.
    void SetListIndex(long index);
    // The selected entry's text, "" without a selection.
    std::string Text() const;

    // Several entries may be selected at once (the run-time's MultiSelect 1).
    void SetMultiSelect(bool multi);
    bool Selected(long index) const;
    void SetSelected(long index, bool selected);
    void SetFont(const Font& font);

    // Its Click event is the selection changing, by the user or by code.

protected:
    void OnMouse(QEvent* event) override;

private:
    void Sync();
    void UserSelected(int row);
    QListWidget* list_;
    std::vector<std::string> items_;
    std::vector<bool> selected_;
    long index_ = -1;
    bool multi_ = false;
    bool syncing_ = false;
};

// A list of the files of a folder that match a pattern.
class FileListBox : public Control {
public:
    FileListBox(Form* form, const char* name, Control* container = nullptr);
    const char* TypeName() const override { return "FileListBox"; }

    std::string Path() const { return path_; }
    // Lists the folder (found without regard to case); a folder that does not exist raises
    // error 76 and leaves the list as it was.
    void SetPath(const std::string& path);
    std::string Pattern() const { return pattern_; }
    // Patterns separated by ";", matched without regard to case; setting it lists again.
    void SetPattern(const std::string& pattern);
    // Reads the folder again.
    void Refresh();
    long ListCount() const { return static_cast<long>(files_.size()); }
    std::string List(long index) const;
    long ListIndex() const { return index_; }
    void SetListIndex(long index);
    // The selected file's name, "" without a selection.
    std::string FileName() const;

    // Click: the selection changed.
    std::function<void()> PathChange;

private:
    void Show();
    QListWidget* list_;
    std::string path_, pattern_ = "*.*";
    std::vector<std::string> files_;
    long index_ = -1;
};

// True when `name` matches one of the ";"-separated patterns ("*" and "?"), without regard to case.
bool MatchesPattern(const std::string& name, const std::string& patterns);

class DirListBox : public Control {
public:
    DirListBox(Form* form, const char* name, Control* container = nullptr);
    const char* TypeName() const override { return "DirListBox"; }

    std::string Path() const { return path_; }
    // A folder that does not exist raises error 76. A change raises Change.
    void SetPath(const std::string& path);
    long ListCount() const { return static_cast<long>(folders_.size()); }
    // The subfolders of Path, full paths.
    std::string List(long index) const;

    std::function<void()> Change;

private:
    void Show();
    QListWidget* list_;
    std::string path_;
    std::vector<std::string> folders_;
};

// The "drives" of this system: the root and the mounted file systems.
class DriveListBox : public Control {
public:
    DriveListBox(Form* form, const char* name, Control* container = nullptr);
    const char* TypeName() const override { return "DriveListBox"; }

    // The mount point holding the current folder, at first.
    std::string Drive() const { return drive_; }
    // Error 68 for a drive that is not in the list. A change raises Change.
    void SetDrive(const std::string& drive);
    long ListCount() const { return static_cast<long>(drives_.size()); }
    std::string List(long index) const;

    std::function<void()> Change;

private:
    QListWidget* list_;
    std::string drive_;
    std::vector<std::string> drives_;
};

// The mount points of this system, the root first.
std::vector<std::string> MountPoints();
// The mount point that holds `path`.
std::string MountPointOf(const std::string& path);
// The current folder of a drive: the working folder when it lies on that drive, else its root.
std::string CurrentFolderOfDrive(const std::string& drive);

class PictureBox : public Control {
public:
    PictureBox(Form* form, const char* name, Control* container = nullptr);
    const char* TypeName() const override { return "PictureBox"; }

    const vb::Picture& Picture() const { return picture_; }
    void SetPicture(const vb::Picture& picture);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool autoRedraw) { autoRedraw_ = autoRedraw; }
    int ScaleMode() const { return scaleMode_; }
    void SetScaleMode(int mode);
    // The inner size (inside the border) in ScaleMode units.
    float ScaleWidth() const;
    float ScaleHeight() const;
    // 0 none; 1 a single sunken border of 2 pixels (the pressed look of picture buttons).
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    COLORREF BackColor() const { return back_; }
    void SetBackColor(COLORREF color);

    // The persistent image of the box (its back colour with the picture drawn at the top left),
    // of the inner size in pixels.
    QImage Image() const;
    // Point(x, y): the colour at (x, y) in ScaleMode units, -1 outside.
    long Point(float x, float y) const;
    // The device context of the persistent image, owned by the box (valid until the next change
    // of its picture or size, or its end).
    HDC hDC() const;
    ~PictureBox() override;

    float MouseScale() const override;
    int BorderPixels() const { return borderStyle_ ? 2 : 0; }

private:
    void Fit();
    class Surface;
    Surface* surface_;
    vb::Picture picture_;
    bool autoSize_ = false, autoRedraw_ = false;
    int scaleMode_ = vbTwips;
    int borderStyle_ = 1;
    COLORREF back_ = 0xF0F0F0;
    mutable HDC dc_ = nullptr;
    mutable HBITMAP bitmap_ = nullptr;
    mutable QImage drawn_;
};

class Image : public Control {
public:
    Image(Form* form, const char* name, Control* container = nullptr);
    const char* TypeName() const override { return "Image"; }

    const vb::Picture& Picture() const { return picture_; }
    // Without Stretch the control takes the picture's size.
    void SetPicture(const vb::Picture& picture);
    void SetStretch(bool stretch);

private:
    class Surface;
    Surface* surface_;
    vb::Picture picture_;
    bool stretch_ = false;
};

class CheckBox : public Control {
public:
    CheckBox(Form* form, const char* name, const std::string& caption = {},
             Control* container = nullptr);
    const char* TypeName() const override { return "CheckBox"; }

    // 0 unchecked, 1 checked; a change, by the user or by code, raises Click.
    int Value() const { return value_; }
    void SetValue(int value);
    void SetCaption(const std::string& caption);
    void SetForeColor(COLORREF color);
    void SetBackColor(COLORREF color);

private:
    QCheckBox* box_;
    int value_ = 0;
    bool syncing_ = false;
};

class CommandButton : public Control {
public:
    CommandButton(Form* form, const char* name, const std::string& caption = {},
                  Control* container = nullptr);
    const char* TypeName() const override { return "CommandButton"; }

    void SetCaption(const std::string& caption);
    std::string Caption() const { return caption_; }
    // The Enter key presses the default button, the Escape key the cancel button of the form.
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);
    // Value = true presses the button from code.
    void SetValue(bool pressed);
    void SetEnabled(bool enabled) override;

private:
    QPushButton* button_;
    std::string caption_;
    QObject* defaultKey_ = nullptr;
    QObject* defaultKeypadKey_ = nullptr;
    QObject* cancelKey_ = nullptr;
};

}  // namespace vb
