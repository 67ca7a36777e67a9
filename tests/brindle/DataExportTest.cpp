// SPDX-License-Identifier: GPL-3.0-or-later
// brindle --export-data, run as a separate process: the CSV files and their headers,
// every row against the --table text of the same l, the wave functions, and the
// folder handling (refusal to overwrite, --force, folders that cannot be made).

#include <ProgramRun.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using course::test::capturedRows;
using course::test::Csv;
using course::test::ProgramRun;
using course::test::readCsv;

namespace {

const QStringList kFiles{QStringLiteral("iterations.csv"), QStringLiteral("states.csv"),
                         QStringLiteral("level-skips.csv"), QStringLiteral("wavefunctions.csv")};

ProgramRun brindle(const QStringList& args) {
    return course::test::runProgram(QStringLiteral(BRINDLE_BINARY), args);
}

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

// The table's trial energies: three decimals without a zero before the point.
QString trial(double v) {
    QString s = fixed(v, 3);
    return s.replace(QRegularExpression(QStringLiteral("^(-?)0\\.")), QStringLiteral("\\1."));
}

} // namespace

TEST(DataExport, WritesTheFourFilesWithTheirHeaders) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.filePath(QStringLiteral("data"));
    const ProgramRun r = brindle({QStringLiteral("--export-data"), dir});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("iterations.csv"), QStringLiteral("level-skips.csv"),
                           QStringLiteral("states.csv"), QStringLiteral("wavefunctions.csv")}));

    const Csv it = readCsv(dir + QStringLiteral("/iterations.csv"));
    EXPECT_EQ(it.header.join(QLatin1Char(',')),
              QStringLiteral("l,state,iteration,E_before,dE,E_after,y_match,scale,kink,norm"));
    EXPECT_EQ(it.rows.size(), 19u);
    const Csv st = readCsv(dir + QStringLiteral("/states.csv"));
    EXPECT_EQ(
        st.header.join(QLatin1Char(',')),
        QStringLiteral(
            "l,state,E_trial,iterations,nodes,i_match,x_match,i_left,x_left,i_right,x_right,E,E_exact"));
    ASSERT_EQ(st.rows.size(), 4u);
    const Csv sk = readCsv(dir + QStringLiteral("/level-skips.csv"));
    EXPECT_TRUE(sk.read);
    EXPECT_EQ(sk.header.join(QLatin1Char(',')),
              QStringLiteral("l,state,iteration,nodes,found_level,E_found,E_lower,E_upper,E_restart"));
    EXPECT_TRUE(sk.rows.empty()); // l = 1 finds every level in turn
    const Csv wf = readCsv(dir + QStringLiteral("/wavefunctions.csv"));
    EXPECT_EQ(wf.header.join(QLatin1Char(',')), QStringLiteral("x,P_state1,P_state2,P_state3,P_state4"));
    ASSERT_EQ(wf.rows.size(), 1026u);

    // The first row of the run and the levels, at full precision.
    EXPECT_DOUBLE_EQ(it.number(0, QStringLiteral("E_before")), 1.8);
    EXPECT_NEAR(it.number(0, QStringLiteral("dE")), 0.892583, 5e-7);
    for (std::size_t s = 0; s < 4; ++s) {
        EXPECT_NEAR(st.number(s, QStringLiteral("E")), 2.5 + 2.0 * double(s), 1e-6);
        EXPECT_EQ(st.number(s, QStringLiteral("E_exact")), 2.5 + 2.0 * double(s));
        EXPECT_EQ(st.number(s, QStringLiteral("nodes")), double(s));
        EXPECT_EQ(st.number(s, QStringLiteral("x_match")), 1.75);
    }
    EXPECT_EQ(st.rows[0].value(st.column(QStringLiteral("i_left"))), QStringLiteral("85"));
    EXPECT_EQ(st.number(0, QStringLiteral("x_right")), 274 * 0.0078125);

    // Each wave function is normalised (trapezoid rule) and has s - 1 sign changes;
    // x runs over the grid exactly.
    for (int s = 1; s <= 4; ++s) {
        const QString col = QStringLiteral("P_state%1").arg(s);
        double sum = 0;
        int changes = 0;
        for (std::size_t i = 0; i < wf.rows.size(); ++i) {
            ASSERT_EQ(wf.number(i, QStringLiteral("x")), double(i) * 0.0078125);
            const double p = wf.number(i, col);
            ASSERT_TRUE(std::isfinite(p)) << i;
            sum += (i == 0 || i + 1 == wf.rows.size()) ? p * p / 2 : p * p;
            if (i > 0 && p * wf.number(i - 1, col) < 0)
                ++changes;
        }
        EXPECT_NEAR(sum * 0.0078125, 1.0, 1e-9) << s;
        EXPECT_EQ(changes, s - 1) << s;
    }
}

TEST(DataExport, EveryRowEqualsTheTableToItsDigits) {
    const QRegularExpression iteration(
        QStringLiteral("^ *(\\d+) +(\\d+) +(-?\\d+\\.\\d+) +(-?\\d+\\.\\d+)$"));
    const QRegularExpression skip(
        QStringLiteral("^ *(\\d+) +(\\d+) +(\\d+) nodes: level (\\d+) found \\(E = (\\S+)\\), level \\d+ "
                       "skipped; restart at (\\S+) between (\\S+) and (\\S+)$"));
    const QRegularExpression state(
        QStringLiteral("^ *(\\d+) +(\\S+) +(\\d+) +(\\S+) \\( *(\\d+)h\\) +(\\S+) \\( *(\\d+)h\\) +(\\S+)$"));
    int skips = 0;
    for (int l = 0; l <= 3; ++l) {
        SCOPED_TRACE(l);
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        const QString L = QString::number(l);
        const ProgramRun table = brindle({QStringLiteral("--table"), QStringLiteral("--l"), L});
        ASSERT_EQ(table.status, 0) << table.err.toStdString();
        // Both at once: the same table, and the files.
        const ProgramRun both = brindle({QStringLiteral("--l"), L, QStringLiteral("--export-data"),
                                         tmp.path(), QStringLiteral("--table")});
        ASSERT_EQ(both.status, 0) << both.err.toStdString();
        EXPECT_EQ(both.out, table.out);

        const Csv it = readCsv(tmp.filePath(QStringLiteral("iterations.csv")));
        QStringList csvRows;
        for (std::size_t k = 0; k < it.rows.size(); ++k) {
            EXPECT_EQ(it.rows[k][0], L);
            csvRows << QStringList{it.rows[k][1], it.rows[k][2], fixed(it.number(k, QStringLiteral("dE")), 6),
                                   fixed(it.number(k, QStringLiteral("E_after")), 6)}
                           .join(QLatin1Char(' '));
            // E_after is E_before + dE, as the next iteration starts from it.
            EXPECT_EQ(it.number(k, QStringLiteral("E_after")),
                      it.number(k, QStringLiteral("E_before")) + it.number(k, QStringLiteral("dE")));
        }
        EXPECT_GE(csvRows.size(), 16);
        EXPECT_EQ(csvRows, capturedRows(table.out, iteration));

        const Csv sk = readCsv(tmp.filePath(QStringLiteral("level-skips.csv")));
        QStringList skipRows;
        for (std::size_t k = 0; k < sk.rows.size(); ++k) {
            const double upper = sk.number(k, QStringLiteral("E_upper"));
            skipRows << QStringList{sk.rows[k][1],
                                    sk.rows[k][2],
                                    sk.rows[k][3],
                                    sk.rows[k][4],
                                    fixed(sk.number(k, QStringLiteral("E_found")), 6),
                                    trial(sk.number(k, QStringLiteral("E_restart"))),
                                    fixed(sk.number(k, QStringLiteral("E_lower")), 6),
                                    std::isfinite(upper) ? fixed(upper, 6) : QStringLiteral("-")}
                            .join(QLatin1Char(' '));
        }
        EXPECT_EQ(skipRows, capturedRows(table.out, skip));
        skips += int(skipRows.size());

        const Csv st = readCsv(tmp.filePath(QStringLiteral("states.csv")));
        QStringList stateRows;
        for (std::size_t k = 0; k < st.rows.size(); ++k)
            stateRows << QStringList{st.rows[k][1], trial(st.number(k, QStringLiteral("E_trial"))),
                                     st.rows[k][3], fixed(st.number(k, QStringLiteral("x_left")), 7),
                                     st.rows[k][7], fixed(st.number(k, QStringLiteral("x_right")), 7),
                                     st.rows[k][9], fixed(st.number(k, QStringLiteral("E")), 6)}
                             .join(QLatin1Char(' '));
        EXPECT_EQ(stateRows, capturedRows(table.out, state));
        EXPECT_EQ(stateRows.size(), 4);
    }
    EXPECT_GE(skips, 2); // l = 0 and l = 3 each land on a wrong level once
}

TEST(DataExport, RefusesToOverwriteUnlessForced) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    {
        QFile f(tmp.filePath(QStringLiteral("states.csv")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("mine\n");
    }
    ProgramRun r = brindle({QStringLiteral("--export-data"), tmp.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("brindle: "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("states.csv"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("--force"))) << r.err.toStdString();
    // Nothing written, the file there untouched.
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("states.csv")});
    EXPECT_EQ(readCsv(tmp.filePath(QStringLiteral("states.csv"))).header,
              QStringList{QStringLiteral("mine")});

    r = brindle({QStringLiteral("--force"), QStringLiteral("--export-data"), tmp.path()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const QString& name : kFiles)
        EXPECT_TRUE(QFile::exists(tmp.filePath(name))) << name.toStdString();
    EXPECT_EQ(readCsv(tmp.filePath(QStringLiteral("states.csv"))).rows.size(), 4u);
    // Run again onto the full folder: refused as a whole.
    EXPECT_EQ(brindle({QStringLiteral("--export-data"), tmp.path()}).status, 1);
}

TEST(DataExport, FoldersThatCannotBeMadeAndUnusableLinesAreReported) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString file = tmp.filePath(QStringLiteral("file.txt"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    for (const QString& dir :
         {file + QStringLiteral("/sub"), tmp.filePath(QStringLiteral("missing/sub")), file}) {
        const ProgramRun r = brindle({QStringLiteral("--export-data"), dir});
        EXPECT_EQ(r.status, 1) << dir.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("brindle: ")) && r.err.contains(dir))
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("file.txt")});

    // --force without --export-data, and --export-data without a folder: usage errors.
    for (const QStringList& args :
         {QStringList{QStringLiteral("--force")},
          QStringList{QStringLiteral("--table"), QStringLiteral("--force")},
          QStringList{QStringLiteral("--export-data")}, QStringList{QStringLiteral("--export-data=")}}) {
        const ProgramRun r = brindle(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("brindle: ")) &&
                    r.err.contains(args.last().section(u'=', 0, 0)))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("brindle --help"))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }

    // The text modes draw no page: page options beside them are refused, not ignored,
    // and nothing is written.
    const QString out = tmp.filePath(QStringLiteral("out"));
    for (const QStringList& args :
         {QStringList{QStringLiteral("--table"), QStringLiteral("--page"), QStringLiteral("2")},
          QStringList{QStringLiteral("--table"), QStringLiteral("--export-pdf"), out + QStringLiteral(".pdf")},
          QStringList{QStringLiteral("--export-data"), out, QStringLiteral("--export-png"), out}}) {
        const ProgramRun r = brindle(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(args.first()) && r.err.contains(QStringLiteral("cannot be combined")))
            << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("file.txt")});

    const ProgramRun help = brindle({QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains(QStringLiteral("--export-data DIR")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--force")));
}
