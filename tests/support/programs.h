// Programs a test starts: each is killed at the end of the test when it still runs.
#pragma once

#include <QProcess>
#include <QStringList>
#include <memory>
#include <vector>

namespace testing_support {

class Programs {
public:
    Programs() = default;
    ~Programs();
    Programs(const Programs&) = delete;
    Programs& operator=(const Programs&) = delete;

    // Starts `exe` with `args` (stderr passed through) and waits until it runs.
    QProcess& Run(const QString& exe, const QStringList& args = {});
    // Starts it without waiting: in `workingFolder` (the test's own when empty), its stderr kept
    // to be read when `readErrors` is set.
    QProcess& Launch(const QString& exe, const QStringList& args, const QString& workingFolder = {},
                     bool readErrors = false);
    const std::vector<std::unique_ptr<QProcess>>& All() const { return programs_; }

private:
    std::vector<std::unique_ptr<QProcess>> programs_;
};

}  // namespace testing_support
