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
    const std::vector<std::unique_ptr<QProcess>>& All() const { return programs_; }

private:
    std::vector<std::unique_ptr<QProcess>> programs_;
};

}  // namespace testing_support
