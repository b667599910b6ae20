// Beams placed on a road follow its table: generated JD tables with beams on
// them, edited in every way the page allows (a JD's coordinate, its radius,
// its spirals, a row added or taken out, a chainage equation, a table left
// unreadable for a while), and after each edit every row, every point along
// the beams and what the drawing and the sheet are made from equal those of
// a fresh job built on the edited road; a beam that no longer fits is a
// refused row, never left as it was; the job reopened gives the same.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <fstream>
#include <iterator>
#include <sstream>

#include "flows/job_replay.h"
#include "records/beam_points.h"
#include "records/plan_drawing.h"
#include "tests/cli_run.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

using namespace capbeam;
using test::Generator;
using test::ScriptedView;

namespace {

constexpr double kOnTheLine = 1e-6;
// The page's boxes as a new page shows them: the beams keep their own design beam.
const std::vector<std::string> kPageFields{"", "90", "", ""};  // metres: a centre on the centre line, an end on its edge

using Rows = std::vector<std::vector<std::string>>;

std::string Csv(const Rows& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) text += (i ? "," : "") + row[i];
        text += '\n';
    }
    return text;
}

std::string Number(double value) {
    std::ostringstream out;
    out.precision(12);
    out << value;
    return out.str();
}

JobAlignment Table(const Rows& rows) { return {JobAlignment::Kind::JdTable, "桥位线形.csv", Csv(rows)}; }

bool Readable(const Rows& rows) {
    try {
        LoadAlignment(Table(rows));
        return true;
    } catch (const Failure&) {
        return false;
    }
}

// A road of two to four JDs, each turning 8 to 50 degrees either way, with
// radii of 250 to 900 m and spirals of up to 90 m, and sometimes a chainage
// equation (a long or a short chain) half-way.
Rows GenerateRoad(Generator& g) {
    for (;;) {
        Rows rows;
        double X = 3000 + g.Uniform(-500, 500), Y = 5000 + g.Uniform(-500, 500);
        double azimuth = g.Uniform(0, 2 * test::kPi);
        rows.push_back({"QD", "K0+000", Number(X), Number(Y)});
        const int jds = g.Integer(2, 4);
        for (int j = 1; j <= jds + 1; ++j) {
            const double length = g.Uniform(380, 600);
            X += length * std::cos(azimuth);
            Y += length * std::sin(azimuth);
            if (j > jds) {
                rows.push_back({"ZD", "", Number(X), Number(Y)});
                break;
            }
            const std::string Ls = g.Integer(0, 2) ? Number(10 * g.Integer(0, 9)) : "0";
            rows.push_back({"JD" + std::to_string(j), "", Number(X), Number(Y), Number(50 * g.Integer(5, 18)), Ls,
                            g.Integer(0, 1) ? Ls : Number(10 * g.Integer(0, 9))});
            azimuth += (g.Integer(0, 1) ? 1 : -1) * g.Uniform(8, 50) * test::kPi / 180;
        }
        if (g.Integer(0, 2) == 0) {
            const double back = std::round(g.Uniform(500, 800));
            rows.push_back({"断链", Number(back), Number(back + (g.Integer(0, 1) ? 7 : -9))});
        }
        if (Readable(rows)) return rows;
    }
}

std::size_t JdCount(const Rows& rows) {
    std::size_t n = 0;
    for (const auto& row : rows) n += row.size() > 4;
    return n;
}

std::size_t EndRow(const Rows& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (rows[r][0] == "ZD") return r;
    return rows.size() - 1;
}

// One edit as the page allows it, on a readable road; `name` says which.
Rows Edit(Generator& g, Rows rows, std::string& name) {
    const std::size_t jd = 1 + static_cast<std::size_t>(g.Integer(0, static_cast<int>(JdCount(rows)) - 1));
    const auto change = [&](std::size_t r, std::size_t c, double by) { rows[r][c] = Number(std::stod(rows[r][c]) + by); };
    switch (g.Integer(0, 7)) {
        case 0: {  // two digits of a coordinate swapped, as typed in a hurry
            std::string& cell = rows[jd][static_cast<std::size_t>(g.Integer(2, 3))];
            const std::size_t at = cell.find('.');
            if (at != std::string::npos && at >= 2) std::swap(cell[at - 1], cell[at - 2]);
            name = "two digits of " + rows[jd][0] + "'s coordinate swapped";
            break;
        }
        case 1:  // a coordinate moved by less than a millimetre: no beam should count as moved
            change(jd, 2, 0.0002);
            name = rows[jd][0] + "'s X by 0.2 mm";
            break;
        case 2:
            change(jd, 4, 10.0 * g.Integer(-20, 20));
            name = rows[jd][0] + "'s radius";
            break;
        case 3:
            rows[jd][5] = Number(10 * g.Integer(0, 9));
            rows[jd][6] = g.Integer(0, 1) ? rows[jd][5] : Number(10 * g.Integer(0, 9));
            name = rows[jd][0] + "'s spirals";
            break;
        case 4: {  // a JD added between the one before the end and the end, a little aside
            const std::size_t end = EndRow(rows);
            const double X = (std::stod(rows[end - 1][2]) + std::stod(rows[end][2])) / 2 + g.Uniform(-30, 30);
            const double Y = (std::stod(rows[end - 1][3]) + std::stod(rows[end][3])) / 2 + g.Uniform(-30, 30);
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(end),
                        {"JD新", "", Number(X), Number(Y), "300", "0", "0"});
            name = "a JD added";
            break;
        }
        case 5:
            if (JdCount(rows) > 1) rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(jd));
            name = "a JD taken out";
            break;
        case 6: {
            const auto equation = std::find_if(rows.begin(), rows.end(), [](const auto& r) { return r[0] == "断链"; });
            if (equation == rows.end()) {
                const double back = std::round(g.Uniform(300, 900));
                rows.push_back({"断链", Number(back), Number(back - 6)});
                name = "a chainage equation added";
            } else if (g.Integer(0, 1)) {
                rows.erase(equation);
                name = "the chainage equation taken out";
            } else {
                (*equation)[2] = Number(std::stod((*equation)[1]) + g.Integer(-15, 15));
                name = "the chainage equation changed";
            }
            break;
        }
        default:  // the road's start moved along (its chainage) and a JD's Y by a metre
            rows[0][1] = Number(g.Integer(-50, 50));
            change(jd, 3, 1.0);
            name = "the start chainage and " + rows[jd][0] + "'s Y";
            break;
    }
    return rows;
}

// What a job's pier table shows: each header, each row's texts, number and
// orientation, each refused row's chainage and why.
std::vector<std::string> TableLines(const PierTable& table) {
    std::vector<std::string> lines;
    for (const PierGroup& g : table.Groups()) {
        lines.push_back(g.header);
        for (const PierLine& line : LinesOf(g)) {
            std::string text = std::to_string(line.Number()) + " ";
            if (line.refused) {
                text += "refused " + line.refused->KpText + " " + line.refused->why;
            } else {
                text += std::string(OrientationText(line.row->orientation));
                for (const std::string& t : line.row->texts) text += "|" + t;
            }
            lines.push_back(text);
        }
    }
    return lines;
}

// A beam as the user asked for it: its chainage, its group's design beam
// fields, its orientation.
struct Asked {
    Chainage Kp;
    std::vector<std::string> fields;
    Orientation orientation;
};

// A day of work on the road: a few design beams, each with a batch of
// chainages along the road (some beyond it, refused at once), either
// orientation. Returns each row's request by its number.
std::map<int, Asked> PlaceBeams(Generator& g, Calculator& c, const Rows& road) {
    std::map<int, Asked> asked;
    const LoadedRoad loaded = LoadAlignment(Table(road));
    const double length = loaded.road.Line().EndDistance();
    int numbered = 0;
    for (int group = 0; group < 3; ++group) {
        const std::vector<std::string> fields{Number(std::round(g.Uniform(50, 300))), Number(g.Integer(60, 120)),
                                              g.Integer(0, 1) ? "" : Number(g.Integer(5, 14)),
                                              Number(g.Integer(5, 14))};
        c.SetOrientation(g.Integer(0, 1) ? Orientation::Tangent : Orientation::Parallel);
        std::vector<Chainage> chainages;
        for (double K = g.Uniform(20, 60); K < length + 40; K += g.Uniform(25, 90)) chainages.push_back({std::round(K * 1000) / 1000, kAnyStretch});
        AlignmentBeamsOutcome outcome;
        try {
            outcome = c.PlaceOnAlignment(loaded, fields, chainages);
        } catch (const Failure&) {
            continue;  // the design beam off the road: the page refuses it, nothing placed
        }
        // The rows are numbered on in the order of the chainages that gave one.
        for (const PierGroup& pg : c.Table().Groups())
            for (const PierRow& row : pg.rows)
                if (row.number > numbered) asked[row.number] = {{row.Kp, row.KpStretch}, fields, row.orientation};
        numbered += outcome.placed;
    }
    return asked;
}

// The pier table's lines of a fresh job on `road`: each beam asked for,
// placed by a calculator that never saw another road, or refused with its
// reason.
struct Fresh {
    std::vector<std::string> lines;  // "orientation|texts" or "refused why", in row order
    PierTable table;                 // its rows, renumbered
};
Fresh FreshJob(const Rows& road, const std::map<int, Asked>& asked) {
    ScriptedView view;
    Calculator fresh(view);
    fresh.SetAlignmentPage(Table(road), kPageFields);
    const LoadedRoad loaded = LoadAlignment(Table(road));
    Fresh out;
    for (const auto& [number, a] : asked) {
        fresh.SetOrientation(a.orientation);
        std::string why;
        try {
            const AlignmentBeamsOutcome o = fresh.PlaceOnAlignment(loaded, a.fields, {a.Kp});
            if (o.placed == 0) why = o.refused.at(0).second;
        } catch (const Failure& failure) {
            why = failure.message().text;
        }
        if (!why.empty()) {
            out.lines.push_back("refused " + why);
            continue;
        }
        const PierRow& row = fresh.Table().Groups().back().rows.back();
        std::string text(OrientationText(row.orientation));
        for (const std::string& t : row.texts) text += "|" + t;
        out.lines.push_back(text);
    }
    out.table = fresh.Table();
    return out;
}

std::vector<std::string> LinesWithoutHeaders(const PierTable& table) {
    std::vector<std::string> lines;
    for (const PierGroup& g : table.Groups())
        for (const PierLine& line : LinesOf(g)) {
            if (line.refused) {
                lines.push_back("refused " + line.refused->why);
                continue;
            }
            std::string text(OrientationText(line.row->orientation));
            for (const std::string& t : line.row->texts) text += "|" + t;
            lines.push_back(text);
        }
    return lines;
}

// Points and drawn points with the pier's own name taken off ("P7-Z1" is
// "-Z1"): a fresh job numbers its piers without the refused ones.
std::vector<std::string> Unnamed(const std::vector<std::pair<std::string, WorldPoint>>& points) {
    std::vector<std::string> out;
    for (const auto& [name, at] : points)
        out.push_back(name.substr(name.find('-')) + " " + Number(at.X) + " " + Number(at.Y));
    return out;
}
std::vector<std::string> PointsOf(const PierTable& table, const SiteWork& site) {
    std::vector<std::pair<std::string, WorldPoint>> points;
    for (const SitePoint& p : SitePointsOf(table, site)) points.push_back({p.name, {p.X, p.Y}});
    return Unnamed(points);
}
struct Drawn {
    std::vector<std::string> lines, points;
    std::size_t arcs = 0, polylines = 0;
    bool operator==(const Drawn& o) const {
        return lines == o.lines && points == o.points && arcs == o.arcs && polylines == o.polylines;
    }
};
Drawn DrawingOf(const PierTable& table, const Job& job, const SiteWork& site) {
    const std::optional<PageRoad> road = PageRoadOf(job);
    DrawingInputs in;
    in.table = &table;
    in.site = &site;
    if (road) {
        in.road = &road->road;
        in.DL = road->DL;
        in.DR = road->DR;
    }
    const PlanDrawing d = BuildPlanDrawing(in);
    Drawn drawn;
    for (const DrawingLine& l : d.lines)
        drawn.lines.push_back(std::string(LayerName(l.layer)) + " " + Number(l.from.X) + " " + Number(l.from.Y) + " " +
                              Number(l.to.X) + " " + Number(l.to.Y));
    std::vector<std::pair<std::string, WorldPoint>> points;
    for (const DrawingPoint& p : d.points) points.push_back({p.name, p.at});
    drawn.points = Unnamed(points);
    drawn.arcs = d.arcs.size();
    drawn.polylines = d.polylines.size();
    return drawn;
}

// Each beam placed stands where it means to: its centre on the centre line
// at its chainage, its left end on the left edge and its right end on the
// right edge.
void ExpectOnTheRoad(const PierTable& table, const Rows& road, const std::map<int, Asked>& asked) {
    const LoadedRoad loaded = LoadAlignment(Table(road));
    for (const PierGroup& g : table.Groups())
        for (const PierRow& row : g.rows) {
            const Asked& a = asked.at(row.number);
            const double DR = std::stod(a.fields[3]), DL = a.fields[2].empty() ? DR : std::stod(a.fields[2]);
            const Station centre = loaded.road.At(a.Kp);
            EXPECT_NEAR(row.ends.Xk, centre.X, kOnTheLine) << row.number;
            EXPECT_NEAR(row.ends.Yk, centre.Y, kOnTheLine) << row.number;
            EXPECT_NEAR(loaded.road.Line().Locate(row.ends.Xin, row.ends.Yin).offset, -DL, 1e-4) << row.number;
            EXPECT_NEAR(loaded.road.Line().Locate(row.ends.Xout, row.ends.Yout).offset, DR, 1e-4) << row.number;
        }
}

std::map<int, BeamEnds> EndsByNumber(const PierTable& table) {
    std::map<int, BeamEnds> ends;
    for (const PierGroup& g : table.Groups())
        for (const PierRow& row : g.rows) ends[row.number] = row.ends;
    return ends;
}

}  // namespace

TEST(RoadFollow, EveryOutputAfterAnEditEqualsAFreshJobOnTheEditedRoad) {
    Generator g(20261208);
    SiteWork site;
    site.beamPoints = {{"Z1", -3.5, 0}, {"Z2", 3.5, 0.8}};
    int refusedSeen = 0, movedSeen = 0, stillSeen = 0;
    for (int day = 0; day < 30; ++day) {
        SCOPED_TRACE("road " + std::to_string(day));
        Rows road = GenerateRoad(g);
        ScriptedView view;
        Calculator c(view);
        c.SetAlignmentPage(Table(road), kPageFields);
        const std::map<int, Asked> asked = PlaceBeams(g, c, road);
        if (asked.empty()) continue;
        c.SetSite(site);
        std::map<int, BeamEnds> lastSeen = EndsByNumber(c.Table());  // where each beam last stood
        for (int edit = 0; edit < 6; ++edit) {
            std::string name;
            if (g.Integer(0, 3) == 0) {
                // A row being typed, cell by cell: the table does not read for a while. No
                // beam stands on it, none keeps its old numbers.
                Rows halfTyped = road;
                halfTyped.insert(halfTyped.begin() + static_cast<std::ptrdiff_t>(EndRow(road)), {"JD新", "", "3500"});
                const std::optional<RoadFollowed> stale = c.SetAlignmentPage(Table(halfTyped), kPageFields);
                ASSERT_TRUE(stale.has_value());
                EXPECT_FALSE(stale->readable);
                EXPECT_EQ(stale->beams, static_cast<int>(asked.size()));
                EXPECT_EQ(c.Table().RowCount(), 0u);
                EXPECT_EQ(c.Table().RefusedCount(), asked.size());
                EXPECT_NE(RoadFollowedText(*stale).find("暂时作废"), std::string::npos);
                EXPECT_TRUE(SitePointsOf(c.Table(), site).empty());
            }
            const Rows edited = Edit(g, road, name);
            SCOPED_TRACE("edit " + std::to_string(edit) + ": " + name);
            const bool same = c.CurrentJob().page == Table(edited);  // two equal digits swapped
            const std::optional<RoadFollowed> followed = c.SetAlignmentPage(Table(edited), kPageFields);
            ASSERT_EQ(followed.has_value(), !same);
            if (same) continue;
            EXPECT_EQ(followed->beams, static_cast<int>(asked.size()));
            if (!Readable(edited)) {
                EXPECT_FALSE(followed->readable);
                EXPECT_EQ(c.Table().RowCount(), 0u);
                EXPECT_EQ(c.Table().RefusedCount(), asked.size());
                continue;
            }
            road = edited;
            const Fresh fresh = FreshJob(road, asked);
            EXPECT_EQ(LinesWithoutHeaders(c.Table()), fresh.lines);
            ExpectOnTheRoad(c.Table(), road, asked);
            // The headers name the design beam of their beams, on the page's road.
            for (const PierGroup& pg : c.Table().Groups())
                EXPECT_NE(pg.header.find("线形 桥位线形.csv  设计中桩"), std::string::npos) << pg.header;
            // Points along the beams, the drawing and the sheet's parts, as the fresh job's.
            EXPECT_EQ(PointsOf(c.Table(), site), PointsOf(fresh.table, site));
            Job freshJob;
            freshJob.page = Table(road);
            EXPECT_EQ(DrawingOf(c.Table(), c.CurrentJob(), site), DrawingOf(fresh.table, freshJob, site));
            EXPECT_EQ(PointsOf(c.Table(), site).size(), SiteSheetPartsOf(c.Table(), site).points.size());
            // The message's counts, measured here: a beam moved when it stands more than
            // 1 mm from where it last stood (before a spell of an unreadable table too).
            int moved = 0;
            double farthest = 0;
            for (const auto& [number, now] : EndsByNumber(c.Table())) {
                const auto was = lastSeen.find(number);
                if (was == lastSeen.end()) continue;
                const BeamEnds& e = was->second;
                const double far = std::max({std::hypot(e.Xk - now.Xk, e.Yk - now.Yk),
                                             std::hypot(e.Xin - now.Xin, e.Yin - now.Yin),
                                             std::hypot(e.Xout - now.Xout, e.Yout - now.Yout)});
                moved += far > 0.001;
                farthest = std::max(farthest, far);
                lastSeen[number] = now;
            }
            EXPECT_EQ(followed->moved, moved);
            EXPECT_NEAR(followed->farthest, farthest, 1e-9);
            EXPECT_EQ(followed->refused, static_cast<int>(c.Table().RefusedCount()));
            movedSeen += moved;
            refusedSeen += followed->refused;
            stillSeen += moved == 0 && followed->refused == 0;
            // The job reopened gives the same pier table, refused rows and all.
            ScriptedView otherView;
            Calculator reopened(otherView);
            ReplayJob(ReadJob(WriteJob(c.CurrentJob())), reopened);
            EXPECT_EQ(TableLines(reopened.Table()), TableLines(c.Table()));
        }
    }
    // The generated edits reach every outcome: beams refused, beams moved, beams left where they were.
    EXPECT_GT(refusedSeen, 0);
    EXPECT_GT(movedSeen, 0);
    EXPECT_GT(stillSeen, 0);
}

namespace {

// The new user's bridge: six JDs with seven-digit northings, seven piers.
const char kSixJds[] =
    "QD,K0+000,3355000.000,500000.000\n"
    "JD1,,3355420.000,500120.000,300,60,60\n"
    "JD2,,3355800.000,500050.000,250,50,50\n"
    "JD3,,3356210.250,500260.000,300,40,40\n"
    "JD4,,3356600.000,500180.000,350,50,50\n"
    "JD5,,3357010.000,500330.000,450,0,0\n"
    "JD6,,3357400.000,500300.000,300,40,30\n"
    "ZD,,3357800.000,500420.000\n";

std::string Saved(const Calculator& c, const std::string& name) {
    const std::string path = ::testing::TempDir() + "/" + name + ".capbeam";
    std::ofstream(path, std::ios::binary) << WriteJob(c.CurrentJob());
    return path;
}

}  // namespace

// After two digits of JD3's X were swapped, the piers, their points, the
// set-out and every export kept the old road's numbers while the drawing drew
// the new road with the beam ends metres off its edges.
TEST(RoadFollow, PiersKeptTheOldRoadsNumbersAfterItsTableWasEdited) {
    const JobAlignment road{JobAlignment::Kind::JdTable, "桥位线形.csv", kSixJds};
    JobAlignment edited = road;
    edited.table.replace(edited.table.find("3356210.250"), 11, "3356201.250");  // "10" typed "01"
    const std::vector<std::string> fields{"K1+150", "80", "", "12"};
    std::vector<Chainage> piers;
    for (int p = 0; p < 7; ++p) piers.push_back({1050.0 + 40 * p, kAnyStretch});
    SiteWork site;
    site.beamPoints = {{"Z1", -3.5, 0}, {"Z2", 3.5, 0}};
    site.station = SiteStation{"T1", 3355900, 500100, false, "T2", 3356100, 500300, 0};

    ScriptedView view, freshView;
    Calculator c(view), fresh(freshView);
    c.SetAlignmentPage(road, fields);
    ASSERT_EQ(c.PlaceOnAlignment(LoadAlignment(road), fields, piers).placed, 7);
    c.SetSite(site);
    const std::optional<RoadFollowed> followed = c.SetAlignmentPage(edited, fields);
    ASSERT_TRUE(followed.has_value());
    EXPECT_EQ(followed->beams, 7);
    EXPECT_GT(followed->moved, 0);
    EXPECT_GT(followed->farthest, 1.0);  // metres, as the user found
    EXPECT_NE(RoadFollowedText(*followed).find("移动超过 1 毫米"), std::string::npos);
    fresh.SetAlignmentPage(edited, fields);
    fresh.PlaceOnAlignment(LoadAlignment(edited), fields, piers);
    fresh.SetSite(site);
    EXPECT_EQ(TableLines(c.Table()), TableLines(fresh.Table()));

    // Every file the terminal writes from the job is the fresh job's.
    const std::string job = Saved(c, "edited"), freshJob = Saved(fresh, "fresh");
    for (const std::vector<std::string>& command : {std::vector<std::string>{"points"}, {"points", "--format", "cass"},
                                                    {"stakeout"}, {"batch"}}) {
        std::vector<std::string> a = command, b = command;
        a.insert(a.begin() + 1, {"--job", job});
        b.insert(b.begin() + 1, {"--job", freshJob});
        const test::CliRun edit = test::Cli(a), clean = test::Cli(b);
        EXPECT_EQ(edit.status, 0) << command[0] << edit.err;
        EXPECT_EQ(edit.out, clean.out) << command[0];
    }
    const std::string dxf = ::testing::TempDir() + "/edited.dxf", freshDxf = ::testing::TempDir() + "/fresh.dxf";
    ASSERT_EQ(test::Cli({"drawing", "--job", job, "-o", dxf}).status, 0);
    ASSERT_EQ(test::Cli({"drawing", "--job", freshJob, "-o", freshDxf}).status, 0);
    const auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    };
    EXPECT_EQ(bytes(dxf), bytes(freshDxf));
}

// A job saved before beams followed their road holds clicks on the old table
// and the edited one on its page: it opens with the beams on the page's road,
// and says how many moved.
TEST(RoadFollow, AJobSavedWithTheOldRoadsBeamsOpensOnItsPagesRoad) {
    const JobAlignment road{JobAlignment::Kind::JdTable, "桥位线形.csv", kSixJds};
    JobAlignment edited = road;
    edited.table.replace(edited.table.find("3356210.250"), 11, "3356201.250");
    const std::vector<std::string> fields{"K1+150", "80", "", "12"};
    Job old;
    old.alignments = {road};
    old.page = edited;
    old.pageFields = fields;
    JobStep step;
    step.kind = JobStep::Kind::AlignmentBeams;
    step.replies = fields;
    step.alignment = 0;
    step.stations = {{1050, kAnyStretch}, {1090, kAnyStretch}, {9999, kAnyStretch}};  // the last refused at the click
    old.steps = {step};

    ScriptedView view, freshView;
    Calculator opened(view), fresh(freshView);
    ReplayJob(ReadJob(WriteJob(old)), opened);
    fresh.SetAlignmentPage(edited, fields);
    fresh.PlaceOnAlignment(LoadAlignment(edited), fields, step.stations);
    EXPECT_EQ(TableLines(opened.Table()), TableLines(fresh.Table()));
    ASSERT_TRUE(opened.LastFollowed().has_value());
    EXPECT_EQ(opened.LastFollowed()->beams, 2);  // a chainage refused at the click never became a beam
    EXPECT_EQ(opened.LastFollowed()->moved, 2);
    EXPECT_NE(RoadFollowedText(*opened.LastFollowed(), true).find("作业中道路线形上的 2 根盖梁"), std::string::npos);

    // Its page emptied, a job's beams stand nowhere: refused, never at the old road's numbers.
    old.page.reset();
    ReplayJob(ReadJob(WriteJob(old)), opened);
    EXPECT_EQ(opened.Table().RowCount(), 0u);
    EXPECT_EQ(opened.Table().RefusedCount(), 2u);
    EXPECT_FALSE(opened.LastFollowed()->readable);
}
