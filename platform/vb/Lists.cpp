// ListBox, FileListBox, DirListBox and DriveListBox.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QListWidget>
#include <QMouseEvent>
#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>

#include "platform/files/files.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Intrinsics.h"
#include "platform/vb/Variant.h"

namespace vb {

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}

constexpr long kMaxItems = 32767;

bool LessNoCase(const std::string& a, const std::string& b) {
    return QString::compare(Q(a), Q(b), Qt::CaseInsensitive) < 0 ||
           (QString::compare(Q(a), Q(b), Qt::CaseInsensitive) == 0 && a < b);
}

bool IsFolder(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool GlobNoCase(const char* p, const char* s) {
    for (;; ++p, ++s) {
        if (*p == '*') {
            while (*p == '*') ++p;
            if (!*p) return true;
            for (; *s; ++s) {
                if (GlobNoCase(p, s)) return true;
            }
            return false;
        }
        if (!*s) return !*p;
        if (*p != '?' && std::tolower(static_cast<unsigned char>(*p)) !=
                             std::tolower(static_cast<unsigned char>(*s))) {
            return false;
        }
    }
}

}  // namespace

bool MatchesPattern(const std::string& name, const std::string& patterns) {
    std::stringstream ss(patterns);
    std::string one;
    while (std::getline(ss, one, ';')) {
        one = Trim(one);
        if (one.empty()) continue;
        if (one == "*.*" || one == "*") return true;
        if (GlobNoCase(one.c_str(), name.c_str())) return true;
    }
    return false;
}

// ---- ListBox ----

ListBox::ListBox(Form* form, const char* name, Control* container)
    : Control(form, name, container) {
    mouseClick_ = false;
    selectsWithLeftOnly_ = true;
    list_ = new QListWidget(ContainerWidget());
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    QObject::connect(list_, &QListWidget::currentRowChanged, [this](int row) {
        if (!syncing_) UserSelected(row);
    });
    QObject::connect(list_, &QListWidget::itemSelectionChanged, [this] {
        if (syncing_ || !multi_) return;
        for (int i = 0; i < list_->count(); ++i) selected_[i] = list_->item(i)->isSelected();
    });
    Attach(list_, list_->viewport());
}

void ListBox::Sync() {
    syncing_ = true;
    if (list_->count() != ListCount()) {
        list_->clear();
        for (const auto& s : items_) list_->addItem(Q(s));
    } else {
        for (int i = 0; i < list_->count(); ++i) list_->item(i)->setText(Q(items_[i]));
    }
    for (int i = 0; i < list_->count(); ++i) {
        list_->item(i)->setSelected(multi_ ? selected_[i] : i == index_);
    }
    list_->setCurrentRow(static_cast<int>(index_), index_ < 0 || multi_
                                                       ? QItemSelectionModel::NoUpdate
                                                       : QItemSelectionModel::ClearAndSelect);
    if (index_ < 0 && !multi_) list_->clearSelection();
    syncing_ = false;
}

void ListBox::UserSelected(int row) {
    if (row == index_) return;
    index_ = row;
    if (Click) Dispatch((Name() + "_Click").c_str(), Click);
}

void ListBox::AddItem(const std::string& item, long index) {
    long n = ListCount();
    if (index == -1) index = n;
    if (index < 0 || index > n || n >= kMaxItems) Raise(vbErrInvalidProcedureCall);
    items_.insert(items_.begin() + index, item);
    selected_.insert(selected_.begin() + index, false);
    if (index_ >= index) ++index_;
    // The widget takes the one new row; the rows after it keep their selection and the current
    // row moves with them, so a long list fills in time proportional to its length.
    syncing_ = true;
    list_->insertItem(static_cast<int>(index), Q(item));
    syncing_ = false;
    if (list_->currentRow() != index_ || list_->item(static_cast<int>(index))->isSelected()) Sync();
}

void ListBox::RemoveItem(long index) {
    if (index < 0 || index >= ListCount()) Raise(vbErrInvalidProcedureCall);
    items_.erase(items_.begin() + index);
    selected_.erase(selected_.begin() + index);
    if (index_ == index) {
        index_ = -1;
    } else if (index_ > index) {
        --index_;
    }
    syncing_ = true;
    delete list_->takeItem(static_cast<int>(index));
    syncing_ = false;
    if (list_->currentRow() != index_) Sync();
}

void ListBox::Clear() {
    items_.clear();
    selected_.clear();
    index_ = -1;
    Sync();
}

std::string ListBox::List(long index) const {
    if (index < 0 || index >= ListCount()) return {};
    return items_[index];
}

void ListBox::SetList(long index, const std::string& text) {
    if (index < 0 || index >= ListCount()) Raise(vbErrInvalidPropertyValue);
    items_[index] = text;
    Sync();
}

void ListBox::SetListIndex(long index) {
    if (index < -1 || index >= ListCount()) Raise(vbErrInvalidPropertyValue);
    if (index == index_) return;
    index_ = index;
    if (multi_ && index >= 0) selected_[index] = true;
    Sync();
    if (Click) Dispatch((Name() + "_Click").c_str(), Click);
}

std::string ListBox::Text() const {
    return List(index_);
}

void ListBox::SetMultiSelect(bool multi) {
    multi_ = multi;
    list_->setSelectionMode(multi ? QAbstractItemView::MultiSelection
                                  : QAbstractItemView::SingleSelection);
    Sync();
}

bool ListBox::Selected(long index) const {
    if (index < 0 || index >= ListCount()) Raise(vbErrInvalidPropertyValue);
    return multi_ ? bool(selected_[index]) : index == index_;
}

void ListBox::SetSelected(long index, bool selected) {
    if (index < 0 || index >= ListCount()) Raise(vbErrInvalidPropertyValue);
    if (!multi_) {
        SetListIndex(selected ? index : (index == index_ ? -1 : index_));
        return;
    }
    selected_[index] = selected;
    index_ = index;
    Sync();
    if (Click) Dispatch((Name() + "_Click").c_str(), Click);
}

void ListBox::SetFont(const Font& font) {
    ApplyFont(list_, font);
}

void ListBox::OnMouse(QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && DblClick) {
        // The first click of the pair has already moved the selection.
        Dispatch((Name() + "_DblClick").c_str(), DblClick);
        return;
    }
    Control::OnMouse(event);
}

// ---- FileListBox ----

FileListBox::FileListBox(Form* form, const char* name, Control* container)
    : Control(form, name, container) {
    mouseClick_ = false;
    selectsWithLeftOnly_ = true;
    list_ = new QListWidget(ContainerWidget());
    QObject::connect(list_, &QListWidget::currentRowChanged, [this](int row) {
        if (row == index_) return;
        index_ = row;
        if (Click) Dispatch((Name() + "_Click").c_str(), Click);
    });
    Attach(list_, list_->viewport());
    path_ = platform::files::FolderOf(platform::files::ExecutablePath());
}

void FileListBox::SetPath(const std::string& path) {
    std::string resolved = platform::files::Resolve(path);
    if (!IsFolder(resolved)) Raise(vbErrPathNotFound);
    path_ = resolved.size() > 1 && resolved.back() == '/' ? resolved.substr(0, resolved.size() - 1)
                                                          : resolved;
    Refresh();
    if (PathChange) Dispatch((Name() + "_PathChange").c_str(), PathChange);
}

void FileListBox::SetPattern(const std::string& pattern) {
    pattern_ = pattern;
    Refresh();
}

void FileListBox::Refresh() {
    files_.clear();
    if (DIR* dir = ::opendir(path_.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            struct stat st;
            if (::stat(Join(path_, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
            if (MatchesPattern(name, pattern_)) files_.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(files_.begin(), files_.end(), LessNoCase);
    index_ = -1;
    Show();
}

void FileListBox::Show() {
    QSignalBlocker block(list_);
    list_->clear();
    for (const auto& f : files_) list_->addItem(Q(f));
    list_->setCurrentRow(static_cast<int>(index_));
}

std::string FileListBox::List(long index) const {
    if (index < 0 || index >= ListCount()) return {};
    return files_[index];
}

void FileListBox::SetListIndex(long index) {
    if (index < -1 || index >= ListCount()) Raise(vbErrInvalidPropertyValue);
    if (index == index_) return;
    index_ = index;
    Show();
    if (Click) Dispatch((Name() + "_Click").c_str(), Click);
}

std::string FileListBox::FileName() const {
    return List(index_);
}

// ---- DirListBox ----

DirListBox::DirListBox(Form* form, const char* name, Control* container)
    : Control(form, name, container) {
    selectsWithLeftOnly_ = true;
    list_ = new QListWidget(ContainerWidget());
    QObject::connect(list_, &QListWidget::itemDoubleClicked, [this](QListWidgetItem* item) {
        int row = list_->row(item);
        if (row == 0) {
            ResumeNext([&] { SetPath(platform::files::FolderOf(path_)); });
        } else if (row > 0 && row <= ListCount()) {
            ResumeNext([&] { SetPath(folders_[row - 1]); });
        }
    });
    Attach(list_, list_->viewport());
    char cwd[PATH_MAX];
    path_ = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    Show();
}

void DirListBox::SetPath(const std::string& path) {
    std::string resolved = platform::files::Resolve(path);
    if (!IsFolder(resolved)) Raise(vbErrPathNotFound);
    if (resolved.size() > 1 && resolved.back() == '/') resolved.pop_back();
    if (resolved.empty()) resolved = "/";
    bool changed = resolved != path_;
    path_ = resolved;
    Show();
    if (changed && Change) Dispatch((Name() + "_Change").c_str(), Change);
}

void DirListBox::Show() {
    folders_.clear();
    if (DIR* dir = ::opendir(path_.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            if (IsFolder(Join(path_, name))) folders_.push_back(Join(path_, name));
        }
        ::closedir(dir);
    }
    std::sort(folders_.begin(), folders_.end(), LessNoCase);
    QSignalBlocker block(list_);
    list_->clear();
    list_->addItem(Q(path_));
    for (const auto& f : folders_) list_->addItem("    " + Q(platform::files::NameOf(f)));
}

std::string DirListBox::List(long index) const {
    if (index < 0 || index >= ListCount()) return {};
    return folders_[index];
}

// ---- DriveListBox ----

std::vector<std::string> MountPoints() {
    std::vector<std::string> points{"/"};
    std::ifstream mounts("/proc/self/mounts");
    std::string device, point, type, rest;
    while (mounts >> device >> point >> type && std::getline(mounts, rest)) {
        // Real file systems only: a device node, not the kernel's pseudo file systems.
        if (device.empty() || device[0] != '/') continue;
        // Octal escapes of the mount table (spaces in mount points).
        auto octal = [](char c) { return c >= '0' && c <= '7'; };
        std::string p;
        for (size_t i = 0; i < point.size(); ++i) {
            if (point[i] == '\\' && i + 3 < point.size() && octal(point[i + 1]) &&
                octal(point[i + 2]) && octal(point[i + 3])) {
                p += static_cast<char>((point[i + 1] - '0') * 64 + (point[i + 2] - '0') * 8 +
                                       (point[i + 3] - '0'));
                i += 3;
            } else {
                p += point[i];
            }
        }
        if (std::find(points.begin(), points.end(), p) == points.end() && IsFolder(p)) {
            points.push_back(p);
        }
    }
    std::sort(points.begin() + 1, points.end());
    return points;
}

std::string MountPointOf(const std::string& path) {
    std::string best = "/";
    for (const auto& m : MountPoints()) {
        if (m == "/") continue;
        if ((path == m || path.rfind(m + "/", 0) == 0) && m.size() > best.size()) best = m;
    }
    return best;
}

std::string CurrentFolderOfDrive(const std::string& drive) {
    char cwd[PATH_MAX];
    std::string here = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
    return MountPointOf(here) == drive ? here : drive;
}

DriveListBox::DriveListBox(Form* form, const char* name, Control* container)
    : Control(form, name, container) {
    list_ = new QListWidget(ContainerWidget());
    drives_ = MountPoints();
    for (const auto& d : drives_) list_->addItem(Q(d));
    char cwd[PATH_MAX];
    drive_ = MountPointOf(::getcwd(cwd, sizeof cwd) ? cwd : "/");
    QObject::connect(list_, &QListWidget::currentRowChanged, [this](int row) {
        if (row >= 0 && row < ListCount()) ResumeNext([&] { SetDrive(drives_[row]); });
    });
    Attach(list_, list_->viewport());
}

void DriveListBox::SetDrive(const std::string& drive) {
    auto it = std::find(drives_.begin(), drives_.end(), drive);
    if (it == drives_.end()) Raise(68, "Device unavailable");
    bool changed = drive != drive_;
    drive_ = drive;
    {
        QSignalBlocker block(list_);
        list_->setCurrentRow(static_cast<int>(it - drives_.begin()));
    }
    if (changed && Change) Dispatch((Name() + "_Change").c_str(), Change);
}

std::string DriveListBox::List(long index) const {
    if (index < 0 || index >= ListCount()) return {};
    return drives_[index];
}

}  // namespace vb
