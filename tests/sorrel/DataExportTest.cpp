// SPDX-License-Identifier: GPL-3.0-or-later
// sorrel --export-data, run as a separate process: the CSV files and their headers,
// every row against the --table text of the same charge, the orbitals and potentials
// of the cycles, a run that a guard ends, and the folder handling.

#include <ProgramRun.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using course::test::Csv;
using course::test::ProgramRun;
using course::test::readCsv;

namespace {

ProgramRun sorrelRun(const QStringList& args) {
    return course::test::runProgram(QStringLiteral(SORREL_EXECUTABLE), args);
}

QString fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

// The rows of the table text that `pattern` matches.
QStringList fieldsOf(const QString& text, const QString& pattern) {
    return course::test::capturedRows(text, QRegularExpression(pattern));
}

QString joined(const QStringList& fields) { return fields.join(QLatin1Char(' ')); }

struct Export {
    QTemporaryDir tmp;
    ProgramRun table; // --table alone
    ProgramRun both;  // --table with --export-data
    Csv steps, cycles, summary, orbitals, potentials;

    explicit Export(int Z) {
        const QString z = QString::number(Z);
        table = sorrelRun({QStringLiteral("--table"), QStringLiteral("--Z"), z});
        both = sorrelRun({QStringLiteral("--Z"), z, QStringLiteral("--table"),
                          QStringLiteral("--export-data"), tmp.path()});
        steps = readCsv(tmp.filePath(QStringLiteral("steps.csv")));
        cycles = readCsv(tmp.filePath(QStringLiteral("cycles.csv")));
        summary = readCsv(tmp.filePath(QStringLiteral("summary.csv")));
        orbitals = readCsv(tmp.filePath(QStringLiteral("orbitals.csv")));
        potentials = readCsv(tmp.filePath(QStringLiteral("potentials.csv")));
    }
};

// Trapezoid ∫u² dr of one orbital column (u(0) = 0 and the far end is negligible).
double norm(const Csv& c, const QString& column) {
    const double h = c.number(1, QStringLiteral("r_bohr"));
    double sum = 0;
    for (std::size_t i = 0; i < c.rows.size(); ++i)
        sum += c.number(i, column) * c.number(i, column);
    return sum * h;
}

} // namespace

TEST(SorrelDataExport, WritesTheFiveFilesOfHeliumWithTheirHeaders) {
    Export e(2);
    ASSERT_EQ(e.both.status, 0) << e.both.err.toStdString();
    EXPECT_EQ(QDir(e.tmp.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("cycles.csv"), QStringLiteral("orbitals.csv"),
                           QStringLiteral("potentials.csv"), QStringLiteral("steps.csv"),
                           QStringLiteral("summary.csv")}));
    EXPECT_EQ(e.steps.header.join(QLatin1Char(',')),
              QStringLiteral("cycle,step,delta_eps_hartree,eps_1s_hartree,V_c_hartree"));
    EXPECT_EQ(e.steps.rows.size(), 17u);
    EXPECT_EQ(
        e.cycles.header.join(QLatin1Char(',')),
        QStringLiteral("cycle,steps,eps_1s_hartree,delta_eps_cycle_hartree,V_c_hartree,E_total_hartree"));
    ASSERT_EQ(e.cycles.rows.size(), 8u);
    EXPECT_EQ(
        e.summary.header.join(QLatin1Char(',')),
        QStringLiteral("Z,outcome,cycles,eps_1s_hartree,V_c_hartree,E_total_hartree,E_variational_hartree,"
                       "E_measured_hartree"));
    ASSERT_EQ(e.summary.rows.size(), 1u);
    EXPECT_EQ(e.summary.rows[0].mid(0, 3),
              (QStringList{QStringLiteral("2"), QStringLiteral("converged"), QStringLiteral("8")}));
    EXPECT_EQ(e.summary.number(0, QStringLiteral("E_variational_hartree")), -2.84765625); // -(27/16)²
    EXPECT_EQ(e.summary.number(0, QStringLiteral("E_measured_hartree")), -2.9037);

    QStringList orbitalColumns{QStringLiteral("r_bohr"), QStringLiteral("rR_trial")};
    QStringList potentialColumns{QStringLiteral("r_bohr")};
    for (int c = 0; c < 8; ++c) {
        orbitalColumns << QStringLiteral("rR_cycle%1").arg(c);
        potentialColumns << QStringLiteral("V_cycle%1_hartree").arg(c);
    }
    EXPECT_EQ(e.orbitals.header, orbitalColumns);
    EXPECT_EQ(e.potentials.header, potentialColumns);
    // r_i = i/512 for i = 0..4097; the potential starts at r = h (it is infinite at 0).
    ASSERT_EQ(e.orbitals.rows.size(), 4098u);
    ASSERT_EQ(e.potentials.rows.size(), 4097u);
    EXPECT_EQ(e.orbitals.number(4097, QStringLiteral("r_bohr")), 4097.0 / 512);
    EXPECT_EQ(e.potentials.number(0, QStringLiteral("r_bohr")), 1.0 / 512);

    // Every orbital is normalised, the trial one to its trapezoid error.
    EXPECT_NEAR(norm(e.orbitals, QStringLiteral("rR_trial")), 1.0, 1e-5);
    for (int c = 0; c < 8; ++c)
        EXPECT_NEAR(norm(e.orbitals, QStringLiteral("rR_cycle%1").arg(c)), 1.0, 1e-9) << c;
    // Far out the nucleus is screened by one electron: r·V(r) → −(Z − 1).
    const std::size_t last = e.potentials.rows.size() - 1;
    for (int c = 0; c < 8; ++c)
        EXPECT_NEAR(e.potentials.number(last, QStringLiteral("r_bohr")) *
                        e.potentials.number(last, QStringLiteral("V_cycle%1_hartree").arg(c)),
                    -1.0, 1e-6)
            << c;
    // Near the nucleus it is −Z/r plus the electron's potential there.
    EXPECT_NEAR(e.potentials.number(0, QStringLiteral("V_cycle7_hartree")), -2.0 * 512 + 1.6875, 0.1);
}

TEST(SorrelDataExport, EveryRowEqualsTheTableToItsDigits) {
    for (int Z : {2, 4, 10}) {
        SCOPED_TRACE(Z);
        Export e(Z);
        ASSERT_EQ(e.table.status, 0) << e.table.err.toStdString();
        ASSERT_EQ(e.both.status, 0) << e.both.err.toStdString();
        EXPECT_EQ(e.both.out, e.table.out);

        QStringList steps;
        for (std::size_t k = 0; k < e.steps.rows.size(); ++k)
            steps << joined({e.steps.rows[k][0], e.steps.rows[k][1],
                             fixed(e.steps.number(k, QStringLiteral("delta_eps_hartree")), 5),
                             fixed(e.steps.number(k, QStringLiteral("eps_1s_hartree")), 5)});
        EXPECT_GE(steps.size(), 8);
        EXPECT_EQ(steps,
                  fieldsOf(e.table.out, QStringLiteral("^サイクル +(\\d+) +ステップ (\\d+) +⊿ε₁ₛ = +(\\S+) "
                                                       "+ε₁ₛ = +(\\S+)$")));

        QStringList cycles;
        int stepsInCycles = 0;
        for (std::size_t k = 0; k < e.cycles.rows.size(); ++k) {
            cycles << joined(
                {e.cycles.rows[k][0], fixed(e.cycles.number(k, QStringLiteral("E_total_hartree")), 5)});
            stepsInCycles += e.cycles.rows[k][1].toInt();
            // E = 2ε − V_c exactly as computed: the numbers carry every digit.
            EXPECT_EQ(e.cycles.number(k, QStringLiteral("E_total_hartree")),
                      2.0 * e.cycles.number(k, QStringLiteral("eps_1s_hartree")) -
                          e.cycles.number(k, QStringLiteral("V_c_hartree")));
            // The outer loop stops at the first change below 2·10⁻⁵.
            const bool small = std::abs(e.cycles.number(k, QStringLiteral("delta_eps_cycle_hartree"))) < 2e-5;
            EXPECT_EQ(small, k + 1 == e.cycles.rows.size()) << k;
        }
        EXPECT_EQ(stepsInCycles, int(e.steps.rows.size()));
        EXPECT_EQ(cycles, fieldsOf(e.table.out, QStringLiteral("^ +\\[(\\d+)\\] +E_total = +(\\S+)$")));

        const QStringList report{
            fixed(e.summary.number(0, QStringLiteral("eps_1s_hartree")), 4),
            fixed(e.summary.number(0, QStringLiteral("V_c_hartree")), 4),
            fixed(e.summary.number(0, QStringLiteral("E_total_hartree")), 4),
            fixed(e.summary.number(0, QStringLiteral("E_variational_hartree")), 4),
            fixed(e.summary.number(0, QStringLiteral("E_measured_hartree")), 4),
        };
        EXPECT_EQ(report, fieldsOf(e.table.out, QStringLiteral("(?:ε₁ₛ|V_c|E_total) = (-?\\d+\\.\\d{4})$|"
                                                               "^ (-\\d+\\.\\d+) +\\((?:変分法|実測値)"))
                              .replaceInStrings(QStringLiteral(" "), QString()));
        EXPECT_EQ(e.summary.number(0, QStringLiteral("eps_1s_hartree")),
                  e.cycles.number(e.cycles.rows.size() - 1, QStringLiteral("eps_1s_hartree")));
    }
}

TEST(SorrelDataExport, HydrogenAnionIsWrittenConverged) {
    Export e(1);
    EXPECT_EQ(e.both.status, 0) << e.both.err.toStdString();
    EXPECT_EQ(e.both.out, e.table.out);
    ASSERT_EQ(e.summary.rows.size(), 1u);
    EXPECT_EQ(e.summary.rows[0].join(QLatin1Char(',')).section(QLatin1Char(','), 0, 1),
              QStringLiteral("1,converged"));
    EXPECT_NEAR(e.summary.number(0, QStringLiteral("E_total_hartree")), -0.48793, 1e-3);
}

TEST(SorrelDataExport, RefusesToOverwriteUnlessForcedAndReportsUnusableFolders) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString out = tmp.filePath(QStringLiteral("out"));
    ASSERT_EQ(sorrelRun({QStringLiteral("--export-data"), out}).status, 0);
    QFile::remove(out + QStringLiteral("/steps.csv"));
    ProgramRun r = sorrelRun({QStringLiteral("--export-data"), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("sorrel: ")) &&
                r.err.contains(QStringLiteral("already exists")))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/steps.csv"))); // nothing written
    r = sorrelRun({QStringLiteral("--export-data"), out, QStringLiteral("--force")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readCsv(out + QStringLiteral("/steps.csv")).rows.size(), 17u);

    const QString below = out + QStringLiteral("/summary.csv/sub");
    r = sorrelRun({QStringLiteral("--export-data"), below});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("sorrel: cannot create the folder ") + below))
        << r.err.toStdString();

    for (const QStringList& args : {QStringList{QStringLiteral("--force")},
                                    QStringList{QStringLiteral("--table"), QStringLiteral("--force")},
                                    QStringList{QStringLiteral("--export-data"), out,
                                                QStringLiteral("--export-png"), QStringLiteral("a.png")},
                                    QStringList{QStringLiteral("--export-data=")}}) {
        r = sorrelRun(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("sorrel: ")) &&
                    r.err.contains(QStringLiteral("sorrel --help")))
            << r.err.toStdString();
    }
    const ProgramRun help = sorrelRun({QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains(QStringLiteral("--export-data DIR")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--force")));
}
