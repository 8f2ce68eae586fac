#include "platform/controls/CommonDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <sstream>

#include "platform/files/files.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Variant.h"
#include "platform/win/commdlg.h"

namespace controls {

namespace {

// The open dialog. Without cdlOFNFileMustExist it takes the names typed for files that do not
// exist, also where several files may be chosen, which Qt's own several-files mode refuses: its
// Open button stays usable for any typed text, and such names are returned as typed (relative to
// the folder shown). A typed folder is still opened, and a choice of existing files is Qt's own.
class OpenDialog : public QFileDialog {
public:
    OpenDialog(QWidget* parent, const QString& title, bool namesMayBeNew)
        : QFileDialog(parent, title), namesMayBeNew_(namesMayBeNew) {}

    void EnableForTypedNames() {
        if (!namesMayBeNew_) return;
        edit_ = findChild<QLineEdit*>("fileNameEdit");
        auto* buttons = findChild<QDialogButtonBox*>("buttonBox");
        if (!edit_ || !buttons) return;
        // Connected after the dialog's own check of the text, so it has the last word.
        QObject::connect(edit_, &QLineEdit::textChanged, this, [buttons](const QString& text) {
            QPushButton* open = buttons->button(QDialogButtonBox::Open);
            if (open && !text.trimmed().isEmpty()) open->setEnabled(true);
        });
    }

    // The chosen files, full paths.
    QStringList Chosen() const { return typed_.isEmpty() ? selectedFiles() : typed_; }

    void accept() override {
        const QStringList typed = Typed();
        if (!typed.isEmpty()) {
            bool allThere = true;
            for (const QString& f : typed) {
                QFileInfo info(f);
                if (info.isDir()) return QFileDialog::accept();  // opens the folder
                allThere = allThere && info.exists();
            }
            if (!allThere) {
                typed_ = typed;
                return QDialog::accept();
            }
        }
        QFileDialog::accept();
    }

private:
    // The names in the file name box, as Qt reads them: several in double quotes, or the whole
    // text as one name.
    QStringList Typed() const {
        QStringList names;
        if (!namesMayBeNew_ || !edit_) return names;
        const QString text = edit_->text();
        if (text.contains(u'"')) {
            const QStringList tokens = text.split(u'"');
            for (qsizetype i = 1; i < tokens.size(); i += 2) {
                if (!tokens[i].isEmpty()) names << tokens[i];
            }
        } else if (!text.trimmed().isEmpty()) {
            names << text;
        }
        for (QString& n : names) n = QDir::cleanPath(directory().absoluteFilePath(n));
        return names;
    }

    bool namesMayBeNew_;
    QLineEdit* edit_ = nullptr;
    QStringList typed_;
};

}  // namespace

CommonDialog::CommonDialog(vb::Form* form, const char* name) : vb::Control(form, name) {
    Attach(new QWidget(ContainerWidget()));
    SetVisible(false);
}

std::vector<std::pair<std::string, std::string>> CommonDialog::ParseFilter(
    const std::string& filter) {
    std::vector<std::string> parts;
    std::string part;
    std::stringstream ss(filter);
    while (std::getline(ss, part, '|')) parts.push_back(part);
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) out.emplace_back(parts[i], parts[i + 1]);
    return out;
}

std::string CommonDialog::CaseInsensitivePatterns(const std::string& patterns) {
    return platform::win::CaseInsensitiveFilePatterns(patterns);
}

void CommonDialog::Take(const std::vector<std::string>& files) {
    using platform::files::FolderOf;
    using platform::files::NameOf;
    if (files.size() == 1 || !(flags_ & cdlOFNAllowMultiselect)) {
        fileName_ = files.front();
        fileTitle_ = NameOf(files.front());
        return;
    }
    std::string folder = FolderOf(files.front());
    std::string result = folder.empty() ? "/" : folder;
    for (const auto& f : files) {
        result += '\0';
        result += NameOf(f);
    }
    fileName_ = result;
    fileTitle_.clear();
}

void CommonDialog::ShowOpen() {
    std::vector<std::string> chosen;
    if (vb::DialogScript* s = vb::DialogScript::Active()) {
        s->Record({"ShowOpen", filter_, title_, static_cast<int>(flags_)});
        chosen = s->NextShowOpen().value_or(std::vector<std::string>());
    } else {
        OpenDialog dialog(QApplication::activeWindow(), QString::fromStdString(title_),
                          !(flags_ & cdlOFNFileMustExist));
        bool multi = flags_ & cdlOFNAllowMultiselect;
        dialog.setFileMode(multi                            ? QFileDialog::ExistingFiles
                           : (flags_ & cdlOFNFileMustExist) ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QStringList filters;
        for (const auto& [description, patterns] : ParseFilter(filter_)) {
            filters << QString::fromStdString(description + " (" +
                                              CaseInsensitivePatterns(patterns) + ")");
        }
        if (!filters.isEmpty()) dialog.setNameFilters(filters);  // the first is chosen
        // The folder of the last choice, at first the user's home folder.
        dialog.setDirectory(folder_.empty() ? QDir::homePath() : QString::fromStdString(folder_));
        if (!fileName_.empty() && fileName_.find('\0') == std::string::npos) {
            dialog.selectFile(QString::fromStdString(fileName_));
        }
        dialog.EnableForTypedNames();
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
        if (dialog.exec() == QDialog::Accepted) {
            for (const QString& f : dialog.Chosen()) chosen.push_back(f.toStdString());
            if (!chosen.empty()) folder_ = platform::files::FolderOf(chosen.front());
        }
    }
    if (chosen.empty()) {
        if (cancelError_) vb::Raise(vb::vbErrCancel);
        return;
    }
    Take(chosen);
}

}  // namespace controls
