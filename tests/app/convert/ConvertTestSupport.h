#pragma once

#include "app/convert/ConvertTool.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace quillex::testing {

// A fresh folder for each test, with helpers to write fixtures and read results.
class ConvertFolderTest : public ::testing::Test {
protected:
    QTemporaryDir Folder;

    QString PathOf(const QString& name) const { return Folder.filePath(name); }

    QString Write(const QString& name, const QByteArray& bytes) const {
        const QString path = PathOf(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        return path;
    }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return "<unreadable>";
        return file.readAll();
    }

    QStringList Entries(const QString& sub = QString()) const {
        return QDir(sub.isEmpty() ? Folder.path() : PathOf(sub))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
};

inline QByteArray Utf16LEWithBom(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// What one in-process run of the tool printed and answered.
struct TRunResult {
    int Exit = -1;
    QString Out;
    QString Err;
};

inline TRunResult RunTool(QStringList arguments) {
    TRunResult r;
    QTextStream out(&r.Out);
    QTextStream err(&r.Err);
    ConvertTool tool(out, err);
    arguments.prepend(QStringLiteral("quillex-convert"));
    r.Exit = tool.run(arguments);
    out.flush();
    err.flush();
    return r;
}

} // namespace quillex::testing
