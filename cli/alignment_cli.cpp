#include "cli/alignment_cli.h"
#include "cli/stream_io.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <utility>

#include "core/dms.h"
#include "core/failure.h"
#include "core/rules.h"
#include "core/text_formats.h"
#include "flows/alignment_beams.h"
#include "geometry/element_table.h"
#include "geometry/jd_table.h"
#include "geometry/road.h"
#include "records/alignment_csv.h"
#include "records/alignment_road.h"
#include "records/chainage_text.h"
#include "records/export.h"
#include "records/pier_table.h"
#ifdef CAPBEAM_WITH_LANDXML
#include "records/landxml.h"
#endif

namespace capbeam {

namespace {

constexpr char kAlignmentUsage[] =
    "用法: capbeam-cli alignment 文件\n"
    "列出线形的主点（起点、各交点的 ZH HY QZ YH HZ 或 ZY QZ YZ、终点），按路线顺序，\n"
    "CSV 列为 交点,主点,桩号,X,Y,方位角。文件可以是交点表 CSV、线元表 CSV 或 LandXML，\n"
    "程序按内容区分。格式见 README“道路线形”一节。\n";

constexpr char kCoordUsage[] =
    "用法: capbeam-cli coord --alignment 文件 [--offset 偏距] [--angle 夹角] [桩号...]\n"
    "中边桩坐标：由桩号算出中桩或边桩的座标。\n"
    "  --offset  偏距（米），右侧为正、左侧为负，默认 0（中桩）\n"
    "  --angle   边桩方向与前进方向切线的夹角（度.分秒，顺时针），默认 90（垂直于路线）\n"
    "桩号写成米数或 K 形式（K1+234.567）；断链重复的桩号在后面注明段号，如 K1+205[1]。\n"
    "没有给出桩号时从标准输入读取，每行一个或多个。CSV 列为 桩号,偏距,X,Y,方位角\n"
    "（方位角为该桩号中线切线的方位角）。\n";

constexpr char kInverseUsage[] =
    "用法: capbeam-cli inverse --alignment 文件 [X,Y ...]\n"
    "坐标反算：由座标算出桩号和偏距（垂直于路线量取，右侧为正、左侧为负）。\n"
    "每个参数一对座标 X,Y（纵座标在前）；没有给出时从标准输入读取，每行一对，\n"
    "可用逗号、空格或制表符隔开。CSV 列为 X,Y,桩号,偏距。\n";

constexpr char kBatchUsage[] =
    "用法: capbeam-cli batch --alignment 文件 --kj 桩号 --b 数 --dr 数 [--dl 数]\n"
    "                        [--orientation parallel|tangent] [--bom] [桩号...]\n"
    "在整条线形上批量计算斜交盖梁两端。\n"
    "  --kj            斜交盖梁设计位置的中桩桩号（米数或 K 形式）\n"
    "  --b             设计盖梁与前进方向切线的交角 B（度.分秒，顺时针）\n"
    "  --dr, --dl      右侧、左侧路基半幅宽度（米）；--dl 省略时等于 --dr\n"
    "  --orientation   parallel：平行于设计盖梁（默认）；tangent：与各自切线保持交角 B\n"
    "  --bom           在 CSV 前加 UTF-8 字节顺序标记\n"
    "桩号写在选项后面；没有给出时从标准输入读取。CSV 的列与单条圆曲线的批量计算相同，\n"
    "只是内侧、外侧换成左侧、右侧，左侧在前。\n";

constexpr char kExitStatuses[] =
    "\n退出状态：0 全部算出；1 有项目不能计算（见标准错误输出）；2 选项或线形文件有误；\n"
    "3 结果无法写出。\n";

// ---- Output -----------------------------------------------------------------

// RFC 4180, as the pier table's CSV quotes: a field with a comma, a quote, a
// line break or a blank at either end is quoted, quotes doubled.
std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return std::string(text);
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

void AddCsvRow(std::string& csv, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) csv += ',';
        csv += CsvField(fields[i]);
    }
    csv += "\r\n";
}

// ---- The road from its file --------------------------------------------------

// Files larger than the larger of the readers' limits are not read whole: the
// reader refuses the first byte beyond its limit.
constexpr std::size_t kMaxFileBytes = 16 * 1024 * 1024;

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw Failure(ErrorKind::TypeMismatch, "打不开这个文件。请检查文件名和路径。");
    std::string bytes(kMaxFileBytes + 1, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (file.bad())
        throw Failure(ErrorKind::TypeMismatch, "读不了这个文件（也许是文件夹，或没有读取权限）。请检查文件名和路径。");
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

LoadedRoad LoadRoad(const std::string& path, std::ostream& err) {
    const std::string bytes = ReadFileBytes(path);
    if (LooksLikeXml(bytes)) {
#ifdef CAPBEAM_WITH_LANDXML
        const std::vector<LandXmlAlignment> all = ReadLandXml(bytes);
        const LandXmlAlignment& a = all.front();
        if (all.size() > 1)
            err << "注意：文件「" << path << "」里有 " << all.size() << " 条线形，使用第一条「" << a.name
                << "」。\n";
        return RoadFromLandXml(a);
#else
        (void)err;
        throw Failure(ErrorKind::TypeMismatch,
                      "这是 LandXML 文件，但这个 capbeam-cli 构建时没有 Qt，读不了 LandXML。"
                      "请把线形写成交点表或线元表 CSV（见 README“道路线形”一节）。");
#endif
    }
    (void)err;
    if (DetectAlignmentCsv(bytes) == AlignmentCsvKind::ElementTable)
        return RoadFromElementTable(ReadElementTableCsv(bytes));
    return RoadFromJdTable(ReadJdTableCsv(bytes));
}

// ---- Options -----------------------------------------------------------------

struct ParsedArgs {
    std::map<std::string, std::string> options;  // valued options, by name without "--"
    std::set<std::string> flags;
    std::vector<std::string> items;  // the rest, in order
    bool help = false;
};

// "--name value" or "--name=value"; "--" ends the options (a negative
// chainage in metres may follow it). Returns the problem, if any.
std::optional<std::string> ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                                     const std::vector<std::string>& flags, ParsedArgs& parsed) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            parsed.help = true;
            continue;
        }
        if (a == "--") {
            parsed.items.insert(parsed.items.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (a.rfind("--", 0) != 0) {
            parsed.items.push_back(a);
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
        if (std::find(flags.begin(), flags.end(), name) != flags.end() && eq == std::string::npos) {
            parsed.flags.insert(name);
            continue;
        }
        if (std::find(valued.begin(), valued.end(), name) == valued.end()) return "不认识的选项 " + a + "。";
        std::string value;
        if (eq != std::string::npos)
            value = a.substr(eq + 1);
        else if (i + 1 < args.size())
            value = args[++i];
        else
            return "选项 --" + name + " 后面缺少数值。";
        if (!parsed.options.emplace(name, value).second) return "选项 --" + name + " 给了两次，请只给一次。";
    }
    return std::nullopt;
}

bool ReadLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// Separators between items in a list: blanks, tabs, commas and semicolons,
// ASCII or full-width, and the ideographic comma, as the single-curve batch
// takes them.
bool SeparatorAt(std::string_view text, std::size_t i, std::size_t& width) {
    static constexpr std::string_view kWide[] = {"\xEF\xBC\x8C", "\xEF\xBC\x9B", "\xE3\x80\x81", "\xE3\x80\x80"};
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';') {
        width = 1;
        return true;
    }
    for (const std::string_view w : kWide)
        if (text.substr(i, w.size()) == w) {
            width = w.size();
            return true;
        }
    return false;
}

std::vector<std::string> SplitItems(std::string_view text) {
    std::vector<std::string> items;
    std::size_t i = 0, width = 0;
    while (i < text.size()) {
        if (SeparatorAt(text, i, width)) {
            i += width;
            continue;
        }
        const std::size_t begin = i;
        while (i < text.size() && !SeparatorAt(text, i, width)) ++i;
        items.emplace_back(text.substr(begin, i - begin));
    }
    return items;
}

bool EndsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// Chainages in a list. K notation may hold blanks, as the program writes it
// ("K 1+ 234.567") and a stretch may stand apart ("K1+205 [1]"): a lone K, a
// piece ending in "+" and a piece opening with "[" are joined to their
// neighbours before the chainage is read.
std::vector<std::string> ChainageItems(std::string_view text) {
    std::vector<std::string> joined;
    bool joinNext = false;
    for (std::string& piece : SplitItems(text)) {
        if (!joined.empty() && (joinNext || piece.front() == '['))
            joined.back() += piece;
        else
            joined.push_back(std::move(piece));
        const std::string& last = joined.back();
        joinNext = last == "K" || last == "k" || last == "\xEF\xBC\xAB" || last == "\xEF\xBD\x8B" ||
                   EndsWith(last, "+") || EndsWith(last, "\xEF\xBC\x8B");
    }
    return joined;
}

// The items of the arguments, or when there are none, of every line of
// standard input.
std::vector<std::string> ItemsFrom(const std::vector<std::string>& args, std::istream& in,
                                   std::vector<std::string> (*split)(std::string_view)) {
    std::vector<std::string> items;
    const auto add = [&](std::string_view text) {
        for (std::string& item : split(text)) items.push_back(std::move(item));
    };
    if (!args.empty()) {
        for (const std::string& a : args) add(a);
    } else {
        std::string line;
        while (ReadLine(in, line)) add(line);
    }
    return items;
}

// One coordinate pair an argument or a line.
std::vector<std::string> WholeLine(std::string_view text) {
    if (text.find_first_not_of(" \t") == std::string_view::npos) return {};
    return {std::string(text)};
}

struct CommandError {
    std::string text;
};

[[noreturn]] void Refuse(const std::string& text) { throw CommandError{text}; }

double NumberOption(const ParsedArgs& parsed, const std::string& name, double otherwise) {
    const auto it = parsed.options.find(name);
    if (it == parsed.options.end()) return otherwise;
    try {
        return ReadDouble(it->second);
    } catch (const Failure& failure) {
        Refuse("--" + name + " " + it->second + "：" + failure.message().text);
    }
}

const std::string& RequiredOption(const ParsedArgs& parsed, const std::string& name) {
    const auto it = parsed.options.find(name);
    if (it == parsed.options.end()) Refuse("缺少选项 --" + name + "。");
    return it->second;
}

LoadedRoad LoadRoadOption(const std::string& path, std::ostream& err) {
    try {
        return LoadRoad(path, err);
    } catch (const Failure& failure) {
        Refuse("线形文件「" + path + "」：" + failure.message().text);
    }
}

// A job's alignment, read as a file of its kind.
LoadedRoad JobRoad(const JobAlignment& alignment) {
    try {
        return LoadAlignment(alignment);
    } catch (const Failure& failure) {
        Refuse("作业的线形「" + alignment.name + "」：" + failure.message().text);
    }
}

// A half-width: a finite length, not negative.
double HalfWidthOption(const ParsedArgs& parsed, const std::string& name, double otherwise) {
    const double D = NumberOption(parsed, name, otherwise);
    if (!(D >= 0 && std::isfinite(D)))
        Refuse("--" + name + " " + parsed.options.at(name) + "：路基半幅宽度不能是负数。请输入 0 或正数（米）。");
    return D;
}

// The output, and status 3 when it could not be written.
int Finish(const std::string& csv, bool anyRefused, std::ostream& out, std::ostream& err, const std::string& command) {
    out << csv << std::flush;
    if (!out) {
        err << "capbeam-cli " << command << ": 结果无法写出到标准输出。\n";
        return 3;
    }
    return anyRefused ? 1 : 0;
}

// Each item of the arguments, or when there are none, of every line of
// standard input, handed to `each` as it is read; stops when `each` says so.
template <class Each>
void EachItem(const std::vector<std::string>& args, std::istream& in, std::vector<std::string> (*split)(std::string_view),
              Each each) {
    const auto line = [&](std::string_view text) {
        for (const std::string& item : split(text))
            if (!each(item)) return false;
        return true;
    };
    if (!args.empty()) {
        for (const std::string& a : args)
            if (!line(a)) return;
    } else {
        LineReader lines(in);
        std::string text;
        while (lines.Next(text))
            if (!line(text)) return;
    }
}

// ---- The commands -------------------------------------------------------------

int AlignmentCommand(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    if (parsed.items.size() != 1)
        Refuse(parsed.items.empty() ? "请给出线形文件。" : "只能给出一个线形文件。");
    const LoadedRoad loaded = LoadRoadOption(parsed.items.front(), err);
    std::string csv;
    AddCsvRow(csv, {"交点", "主点", "桩号", "X", "Y", "方位角"});
    for (const MainPointRow& p : loaded.mainPoints) {
        const Station s = loaded.road.Line().At(p.distance);
        AddCsvRow(csv, {p.jd, p.point, ChainageCell(loaded.road, p.distance), CoordinateText(s.X),
                        CoordinateText(s.Y), DmsText(s.azimuth)});
    }
    return Finish(csv, false, out, err, "alignment");
}

int CoordCommand(const ParsedArgs& parsed, std::istream& in, std::ostream& out, std::ostream& err) {
    const double offset = NumberOption(parsed, "offset", 0);
    const double angle = NumberOption(parsed, "angle", 90);
    if (!std::isfinite(offset) || std::fabs(offset) > 1e6)
        Refuse("--offset " + parsed.options.at("offset") + "：偏距太大。请输入以米为单位的偏距。");
    const Dms a = SplitDms(angle);
    if (!IsValidDms(a) || !(DecimalDegrees(a) > 0 && DecimalDegrees(a) < 180))
        Refuse("--angle " + parsed.options.at("angle") +
               "：边桩方向的夹角按“度.分秒”输入（30°15′30″ 输入 30.153），从前进方向的切线顺时针量到边桩方向，"
               "必须大于 0 度、小于 180 度；垂直于路线是 90。");
    const LoadedRoad loaded = LoadRoadOption(RequiredOption(parsed, "alignment"), err);

    std::string csv;
    AddCsvRow(csv, {"桩号", "偏距", "X", "Y", "方位角"});
    bool anyRefused = false;
    for (const std::string& item : ItemsFrom(parsed.items, in, ChainageItems)) {
        try {
            const Chainage K = ReadChainage(item);
            const Station centre = loaded.road.At(K);
            const PlanePoint p = loaded.road.OffsetPoint(K, offset, angle);
            AddCsvRow(csv, {TypedChainageCell(K), CoordinateText(offset), CoordinateText(p.X), CoordinateText(p.Y),
                            DmsText(centre.azimuth)});
        } catch (const Failure& failure) {
            err << item << "：" << failure.message().text << '\n';
            anyRefused = true;
        }
    }
    return Finish(csv, anyRefused, out, err, "coord");
}

// "X,Y", "X Y" or "X<tab>Y": exactly two numbers, the northing first.
std::pair<double, double> ReadPair(const std::string& text) {
    const std::vector<std::string> parts = SplitItems(text);
    if (parts.size() != 2)
        throw Failure(ErrorKind::TypeMismatch, "「" + text + "」不是一对座标。请写成 X,Y（纵座标在前），例如 3400.5,5300.2。");
    return {ReadDouble(parts[0]), ReadDouble(parts[1])};
}

int InverseCommand(const ParsedArgs& parsed, std::istream& in, std::ostream& out, std::ostream& err) {
    const LoadedRoad loaded = LoadRoadOption(RequiredOption(parsed, "alignment"), err);
    std::string csv;
    AddCsvRow(csv, {"X", "Y", "桩号", "偏距"});
    bool anyRefused = false;
    for (const std::string& item : ItemsFrom(parsed.items, in, WholeLine)) {
        try {
            const auto [X, Y] = ReadPair(item);
            const Foot foot = loaded.road.Line().Locate(X, Y);
            AddCsvRow(csv, {CoordinateText(X), CoordinateText(Y), ChainageCell(loaded.road, foot.distance),
                            CoordinateText(foot.offset)});
        } catch (const Failure& failure) {
            err << item << "：" << failure.message().text << '\n';
            anyRefused = true;
        }
    }
    return Finish(csv, anyRefused, out, err, "inverse");
}

int BatchCommand(const ParsedArgs& parsed, std::istream& in, std::ostream& out, std::ostream& err,
                 const JobAlignment* given) {
    const std::string path = given ? given->name : RequiredOption(parsed, "alignment");
    const std::string& KjText = RequiredOption(parsed, "kj");
    const std::string& Btext = RequiredOption(parsed, "b");
    RequiredOption(parsed, "dr");
    Chainage Kj;
    try {
        Kj = ReadChainage(KjText);
    } catch (const Failure& failure) {
        Refuse("--kj " + KjText + "：" + failure.message().text);
    }
    const double B = NumberOption(parsed, "b", 90);
    if (const std::optional<std::string> problem = SkewProblem(B)) Refuse("--b " + Btext + "：" + *problem);
    const double DR = HalfWidthOption(parsed, "dr", 0);
    const double DL = HalfWidthOption(parsed, "dl", DR);
    BeamOrientation orientation = BeamOrientation::Parallel;
    if (const auto it = parsed.options.find("orientation"); it != parsed.options.end()) {
        if (it->second == "tangent")
            orientation = BeamOrientation::Tangent;
        else if (it->second != "parallel")
            Refuse("--orientation 只能是 parallel 或 tangent，不能是「" + it->second + "」。");
    }
    const LoadedRoad loaded = given ? JobRoad(*given) : LoadRoadOption(path, err);
    // The design beam itself must stand on the road: a batch that cannot run
    // says so before a long list on standard input is taken in.
    BeamDesign design;
    design.Bdms = B;
    design.DL = DL;
    design.DR = DR;
    design.orientation = orientation;
    try {
        design.Kj = loaded.road.DistanceOf(Kj);
        PlaceBeam(loaded.road.Line(), design, design.Kj);
    } catch (const Failure& failure) {
        Refuse("设计盖梁 --kj " + KjText + "：" + failure.message().text);
    }

    // The rows as the window's pier table holds them, written as its CSV
    // export writes them: one group, its header naming the file.
    const Orientation shown = orientation == BeamOrientation::Tangent ? Orientation::Tangent : Orientation::Parallel;
    // Streamed: each chainage is read, computed and written before the next,
    // so that a long list on standard input runs in little memory. The table
    // holds the group only, for its titles and header; no row is kept.
    PierTable table;
    table.StartAlignmentGroup(AlignmentGroupDescription(path, Kj, B, DL, DR));
    const CsvRowWriter rows(table.Groups().back());
    BlockWriter writer(out);
    std::string& csv = writer.text;
    csv += TableCsv(table, parsed.flags.count("bom") > 0);
    bool anyRefused = false;
    int number = 0;
    EachItem(parsed.items, in, ChainageItems, [&](const std::string& item) {
        if (!writer.Good()) return false;
        try {
            const Chainage Kp = ReadChainage(item);
            // On distances, so that each end's chainage can carry its stretch.
            const BeamEnds e = PlaceBeam(loaded.road.Line(), design, loaded.road.DistanceOf(Kp));
            PierRow row = AlignmentRowOf(loaded.road, Kp, e, shown);
            row.number = ++number;
            rows.Append(csv, row);
            writer.Written();
        } catch (const Failure& failure) {
            err << item << "：" << failure.message().text << '\n';
            anyRefused = true;
        }
        return true;
    });
    if (!writer.Flush()) {
        err << "capbeam-cli batch: 结果无法写出到标准输出。\n";
        return 3;
    }
    return anyRefused ? 1 : 0;
}

struct CommandShape {
    const char* name;
    std::vector<std::string> valued, flags;
    const char* usage;
};

const CommandShape* ShapeOf(const std::string& name) {
    static const CommandShape kShapes[] = {
        {"alignment", {}, {}, kAlignmentUsage},
        {"coord", {"alignment", "offset", "angle"}, {}, kCoordUsage},
        {"inverse", {"alignment"}, {}, kInverseUsage},
        {"batch", {"alignment", "kj", "b", "dr", "dl", "orientation"}, {"bom"}, kBatchUsage},
    };
    for (const CommandShape& s : kShapes)
        if (name == s.name) return &s;
    return nullptr;
}

}  // namespace

bool IsAlignmentCommand(const std::vector<std::string>& args) {
    if (args.empty()) return false;
    if (args[0] == "alignment" || args[0] == "coord" || args[0] == "inverse") return true;
    if (args[0] != "batch") return false;
    return std::any_of(args.begin() + 1, args.end(), [](const std::string& a) {
        return a == "--alignment" || a.rfind("--alignment=", 0) == 0;
    });
}

int RunAlignmentCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                    const JobAlignment* road) {
    const CommandShape* shape = args.empty() ? nullptr : ShapeOf(args[0]);
    if (!shape) {
        err << "capbeam-cli: 不认识的命令。\n";
        return 2;
    }
    const std::string command = shape->name;
    ParsedArgs parsed;
    if (const std::optional<std::string> problem =
            ParseArgs(std::vector<std::string>(args.begin() + 1, args.end()), shape->valued, shape->flags, parsed)) {
        err << "capbeam-cli " << command << ": " << *problem << "\n\n" << shape->usage << kExitStatuses;
        return 2;
    }
    if (parsed.help) {
        out << shape->usage << kExitStatuses;
        return 0;
    }
    try {
        if (command == "alignment") return AlignmentCommand(parsed, out, err);
        if (command == "coord") return CoordCommand(parsed, in, out, err);
        if (command == "inverse") return InverseCommand(parsed, in, out, err);
        return BatchCommand(parsed, in, out, err, road);
    } catch (const CommandError& refused) {
        err << "capbeam-cli " << command << ": " << refused.text << '\n';
        return 2;
    }
}

}  // namespace capbeam
