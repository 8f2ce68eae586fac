#include "tests/support/programs.h"

#include <gtest/gtest.h>

namespace testing_support {

Programs::~Programs() {
    for (auto& p : programs_) {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
}

QProcess& Programs::Run(const QString& exe, const QStringList& args) {
    QProcess& p = Launch(exe, args);
    EXPECT_TRUE(p.waitForStarted(5000)) << exe.toStdString();
    return p;
}

QProcess& Programs::Launch(const QString& exe, const QStringList& args,
                           const QString& workingFolder, bool readErrors) {
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(readErrors ? QProcess::SeparateChannels
                                        : QProcess::ForwardedErrorChannel);
    if (!workingFolder.isEmpty()) p->setWorkingDirectory(workingFolder);
    p->start(exe, args);
    programs_.push_back(std::move(p));
    return *programs_.back();
}

}  // namespace testing_support
