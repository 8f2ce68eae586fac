#include "platform/win/commdlg.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/base/report.h"
#include "platform/win/window.h"

namespace {

thread_local DWORD t_lastError = 0;

bool Headless() {
    const char* mode = std::getenv("KESTO_DIALOGS");
    if (mode && std::strcmp(mode, "log") == 0) return true;
    return qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr;
}

// The pairs of a filter list: description, patterns.
std::vector<std::pair<std::string, std::string>> FilterPairs(LPCSTR filter) {
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!filter) return pairs;
    while (*filter) {
        std::string description = filter;
        filter += description.size() + 1;
        if (!*filter) break;
        std::string patterns = filter;
        filter += patterns.size() + 1;
        pairs.emplace_back(description, patterns);
    }
    return pairs;
}

void CopyInto(LPSTR buffer, DWORD size, const std::string& text) {
    if (!buffer || size == 0) return;
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}

}  // namespace

namespace platform::win {

std::string CaseInsensitiveFilePatterns(const std::string& patterns) {
    std::string out, one;
    auto flush = [&] {
        std::size_t begin = one.find_first_not_of(" \t"), end = one.find_last_not_of(" \t");
        if (begin != std::string::npos) {
            if (!out.empty()) out += ' ';
            for (std::size_t i = begin; i <= end; ++i) {
                auto c = static_cast<unsigned char>(one[i]);
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
        one.clear();
    };
    for (char c : patterns) {
        if (c == ';') {
            flush();
        } else {
            one += c;
        }
    }
    flush();
    return out.empty() ? "*" : out;
}

}  // namespace platform::win

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) {
    t_lastError = 0;
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) return FALSE;
    std::string title = ofn->lpstrTitle ? ofn->lpstrTitle : "Open";
    if (Headless()) {
        platform::base::Report("OpenFileName", title);
        return FALSE;
    }
    QFileDialog dialog(ofn->hwndOwner ? platform::win::WidgetOf(ofn->hwndOwner) : nullptr,
                       QString::fromStdString(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((ofn->Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    QStringList filters;
    for (const auto& [description, patterns] : FilterPairs(ofn->lpstrFilter)) {
        filters << QString::fromStdString(
            description + " (" + platform::win::CaseInsensitiveFilePatterns(patterns) + ")");
    }
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        int index = static_cast<int>(ofn->nFilterIndex) - 1;
        if (index >= 0 && index < filters.size()) dialog.selectNameFilter(filters[index]);
    }
    if (ofn->lpstrInitialDir && *ofn->lpstrInitialDir) {
        dialog.setDirectory(QString::fromUtf8(ofn->lpstrInitialDir));
    }
    if (*ofn->lpstrFile) dialog.selectFile(QString::fromUtf8(ofn->lpstrFile));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return FALSE;
    std::string path = dialog.selectedFiles().front().toStdString();
    if (path.size() + 1 > ofn->nMaxFile) {
        t_lastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    CopyInto(ofn->lpstrFile, ofn->nMaxFile, path);
    std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    CopyInto(ofn->lpstrFileTitle, ofn->nMaxFileTitle, name);
    ofn->nFileOffset = static_cast<WORD>(path.size() - name.size());
    std::size_t dot = name.rfind('.');
    ofn->nFileExtension =
        static_cast<WORD>(dot == std::string::npos ? path.size() : ofn->nFileOffset + dot + 1);
    int chosen = filters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0) ofn->nFilterIndex = static_cast<DWORD>(chosen + 1);
    return TRUE;
}

DWORD CommDlgExtendedError() {
    return t_lastError;
}
