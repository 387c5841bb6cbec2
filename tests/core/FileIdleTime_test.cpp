#include "platform/shell/FileIdleTime.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lumora;

TEST(FileIdleTime, ReadsTheNumberAndTreatsAnythingElseAsZero)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("idle");
    FileIdleTime idle(path);
    EXPECT_EQ(idle.IdleSeconds(), 0u); // missing file

    const auto write = [&](const QByteArray& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    };
    write("61\n");
    EXPECT_EQ(idle.IdleSeconds(), 61u);
    write("abc");
    EXPECT_EQ(idle.IdleSeconds(), 0u);
    write("99999999999");
    EXPECT_EQ(idle.IdleSeconds(), 0xFFFFFFFFu);
}
