// Reads the real documents of the shared corpus (written by other programs) and compares their
// text with what a peer word processor extracted from them. The corpus is not part of the
// project; the test skips when it is absent.

#include "engine/rtf/RtfReader.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace richedit;

namespace {

QString corpusDir() {
    const QByteArray env = qgetenv("QUILLEX_RTF_CORPUS");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QStringLiteral(QUILLEX_SOURCE_DIR) + u"/../shared/rtf-corpus"_qs;
}

// Text compared without its white space and without the characters a peer adds for list
// numbers and bullets, which the engine keeps as paragraph formatting instead.
QString comparable(const QString& s) {
    static const QString dropped =
        u"\uFEFF\uFFFC\u00A0\u200B\u00AD\u2022\uF0B7\u25CF\u25AA\u25E6\u2013\u2012"_qs;
    QString out;
    out.reserve(s.size());
    for (QChar c : s)
        if (!c.isSpace() && c.unicode() >= 0x20 && !dropped.contains(c))
            out.append(c);
    return out;
}

struct Entry {
    QString file;
    QString reference;
    bool malformed = false;
};

} // namespace

TEST(RtfCorpus, EveryDocumentLoadsAndWellFormedOnesMatchTheirText) {
    const QDir dir(corpusDir());
    QFile index(dir.filePath(u"INDEX.tsv"_qs));
    if (!index.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no corpus at " << dir.absolutePath().toStdString();
    std::vector<Entry> entries;
    QTextStream in(&index);
    in.readLine();
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u'\t');
        if (f.size() >= 6)
            entries.push_back({f[0], f[4], f[5] != u"-"});
    }
    int compared = 0, agreed = 0;
    QStringList differing;
    for (const Entry& e : entries) {
        QFile file(dir.filePath(e.file));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << e.file.toStdString();
        rtf::BufferSource src(file.readAll());
        model::Document doc;
        const rtf::ReadResult r = rtf::readRtf(src, doc);
        EXPECT_NE(r.status, rtf::ReadResult::SourceFailed) << e.file.toStdString();
        if (e.malformed || e.reference != u"ok")
            continue;
        EXPECT_EQ(r.status, rtf::ReadResult::Ok) << e.file.toStdString();
        QString refName = e.file;
        refName.replace(u".rtf"_qs, u".ref.txt"_qs);
        QFile ref(dir.filePath(refName));
        if (!ref.open(QIODevice::ReadOnly))
            continue;
        ++compared;
        const QString expected = comparable(QString::fromUtf8(ref.readAll()));
        const QString actual = comparable(doc.text(model::CharPos(0), doc.end()));
        if (expected == actual)
            ++agreed;
        else
            differing
                << u"%1 (%2 vs %3 chars)"_qs.arg(e.file).arg(actual.size()).arg(expected.size());
    }
    std::cout << "[ corpus ] " << agreed << " of " << compared
              << " well-formed documents agree with the reference text\n";
    for (const QString& d : differing)
        std::cout << "[ differs ] " << d.toStdString() << "\n";
    // The documents that differ do so in list numbers, computed fields and damaged bytes; a
    // drop below nine in ten means the reader lost text it used to read.
    EXPECT_GE(agreed * 10, compared * 9);
    RecordProperty("agreed", agreed);
    RecordProperty("compared", compared);
}
