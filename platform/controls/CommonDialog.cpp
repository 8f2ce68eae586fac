#include "platform/controls/CommonDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <cctype>
#include <sstream>

#include "platform/files/files.h"
#include "platform/vb/Dialogs.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Variant.h"

namespace controls {

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
    std::string out;
    std::stringstream ss(patterns);
    std::string one;
    while (std::getline(ss, one, ';')) {
        one = vb::Trim(one);
        if (one.empty()) continue;
        if (!out.empty()) out += ' ';
        for (unsigned char c : one) {
            if (std::isalpha(c)) {
                out += '[';
                out += static_cast<char>(std::tolower(c));
                out += static_cast<char>(std::toupper(c));
                out += ']';
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out.empty() ? "*" : out;
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
        QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title_));
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
        if (!filters.isEmpty()) dialog.setNameFilters(filters);
        if (!fileName_.empty() && fileName_.find('\0') == std::string::npos) {
            dialog.selectFile(QString::fromStdString(fileName_));
        }
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
        if (dialog.exec() == QDialog::Accepted) {
            for (const QString& f : dialog.selectedFiles()) chosen.push_back(f.toStdString());
        }
    }
    if (chosen.empty()) {
        if (cancelError_) vb::Raise(vb::vbErrCancel);
        return;
    }
    Take(chosen);
}

}  // namespace controls
