// The common dialog control, as far as its open-file dialog goes.
#pragma once

#include <string>
#include <vector>

#include "platform/vb/Control.h"

namespace controls {

inline constexpr long cdlOFNHideReadOnly = 0x4;
inline constexpr long cdlOFNAllowMultiselect = 0x200;
inline constexpr long cdlOFNFileMustExist = 0x1000;
inline constexpr long cdlOFNExplorer = 0x80000;

class CommonDialog : public vb::Control {
public:
    CommonDialog(vb::Form* form, const char* name);
    const char* TypeName() const override { return "CommonDialog"; }

    std::string FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    std::string FileTitle() const { return fileTitle_; }
    std::string DialogTitle() const { return title_; }
    void SetDialogTitle(const std::string& title) { title_ = title; }
    // "description|patterns|description|patterns...", patterns separated by ";".
    std::string Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    long Flags() const { return flags_; }
    void SetFlags(long flags) { flags_ = flags; }
    bool CancelError() const { return cancelError_; }
    void SetCancelError(bool on) { cancelError_ = on; }

    // Shows the open dialog and returns when it closes. One chosen file: FileName is its path and
    // FileTitle its name. Several (with cdlOFNAllowMultiselect): FileName is the folder and each
    // name, separated by NUL characters. Cancel leaves FileName as it was and, with CancelError,
    // raises run-time error 32755. Without cdlOFNFileMustExist a typed name of a file that does
    // not exist is returned as typed. The dialog opens in the folder of the last choice (at first
    // the user's home folder) with the first filter chosen.
    void ShowOpen();

    // The filters of a Filter text, as (description, patterns) pairs.
    static std::vector<std::pair<std::string, std::string>> ParseFilter(const std::string& filter);
    // A ";"-separated pattern list as Qt file-dialog patterns that match without regard to case.
    static std::string CaseInsensitivePatterns(const std::string& patterns);

private:
    void Take(const std::vector<std::string>& files);
    std::string fileName_, fileTitle_, title_, filter_;
    std::string folder_;  // where the dialog opens: the folder of the last choice
    long flags_ = 0;
    bool cancelError_ = false;
};

}  // namespace controls
