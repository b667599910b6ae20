#include "cli/site_cli.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

#include "core/dms.h"
#include "core/failure.h"
#include "core/text_formats.h"
#include "records/beam_points.h"
#ifdef CAPBEAM_WITH_JOBS
#include "flows/job_replay.h"
#include "records/job.h"
#endif

namespace capbeam {

namespace {

constexpr char kPointsUsage[] =
    "用法: capbeam-cli points --job 作业文件 [--format csv|cass|gsi] [--bom]\n"
    "  列出作业计算记录中每个墩（删除的行除外）的放样点：中心 -C、两端（单圆曲线 -IN/-OUT，\n"
    "  道路线形 -L/-R）和作业中“盖梁上的点”，点名为“墩名-点名”。\n"
    "  --format csv   CSV “点名,X,Y”，坐标保留三位小数（默认）；\n"
    "           cass  CASS 坐标文件“点名,,Y,X,”；\n"
    "           gsi   GSI-16 坐标文件（点号超出格式限制时改写，标准错误中列出）。\n"
    "  --bom    CSV 开头加字节顺序标记，便于电子表格打开。\n";

constexpr char kStakeoutUsage[] =
    "用法: capbeam-cli stakeout --job 作业文件 --station X,Y (--backsight X,Y | --backsight-azimuth A) [--bom]\n"
    "  从测站放样作业中每个墩的点：CSV “点名,方位角,水平角,平距”，第一行是后视（检核用），\n"
    "  方位角和水平角为度.分秒（精确到 0.1 秒），水平角从后视方向顺时针量，平距保留三位小数。\n"
    "  --station            测站坐标 X,Y（不写时用作业中保存的测站）；\n"
    "  --backsight          后视点坐标 X,Y；\n"
    "  --backsight-azimuth  后视方位角，度.分秒（例如 45.3015 即 45°30′15″）。\n";

struct Options {
    std::map<std::string, std::string> values;
    bool bom = false;
    bool help = false;
};

// "--name value" or "--name=value" for the names given; --bom and --help alone.
std::optional<Options> ReadOptions(const std::vector<std::string>& args, const std::vector<std::string>& names,
                                   const std::string& command, std::ostream& err) {
    Options options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--bom") {
            options.bom = true;
            continue;
        }
        if (a == "--help" || a == "-h") {
            options.help = true;
            continue;
        }
        std::string name = a.rfind("--", 0) == 0 ? a.substr(2) : std::string();
        std::optional<std::string> value;
        if (const std::size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            err << "capbeam-cli " << command << ": 不认识的" << (a.rfind("--", 0) == 0 ? "选项 " : "参数 ") << a
                << "。用法见 capbeam-cli " << command << " --help。\n";
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                err << "capbeam-cli " << command << ": 选项 --" << name << " 后面缺少数值。\n";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!options.values.emplace(name, *value).second) {
            err << "capbeam-cli " << command << ": 选项 --" << name << " 给了两次，请只给一次。\n";
            return std::nullopt;
        }
    }
    return options;
}

#ifdef CAPBEAM_WITH_JOBS
// "X,Y" (or "X Y"), each as a prompt reads a number.
std::pair<double, double> ReadPair(const std::string& text, const std::string& what) {
    std::size_t cut = text.find(',');
    if (cut == std::string::npos) cut = text.find(' ');
    if (cut == std::string::npos)
        throw Failure(ErrorKind::TypeMismatch, what + "应当写成 X,Y（两个数，中间用逗号），不能是「" + text + "」。");
    try {
        return {ReadDouble(text.substr(0, cut)), ReadDouble(text.substr(cut + 1))};
    } catch (const Failure&) {
        throw Failure(ErrorKind::TypeMismatch, what + "应当写成 X,Y（两个数，中间用逗号），不能是「" + text + "」。");
    }
}

double ReadAzimuthDms(const std::string& text) {
    const double a = ReadDouble(text);
    if (!(a >= 0 && a < 360) || !IsValidDms(SplitDms(a)))
        throw Failure(ErrorKind::OutOfRange, "后视方位角应当是 0 到 360 度之间的度.分秒（例如 45.3015 即 45°30′15″），"
                                             "分和秒都小于 60，不能是「" + text + "」。");
    return a;
}

bool Write(std::ostream& out, const std::string& text, const std::string& command, std::ostream& err) {
    out << text << std::flush;
    if (out) return true;
    err << "capbeam-cli " << command << ": 结果无法写出到标准输出。\n";
    return false;
}
#endif

}  // namespace

bool IsSiteCommand(const std::vector<std::string>& args) {
    return !args.empty() && (args[0] == "points" || args[0] == "stakeout");
}

int RunSiteCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string command = args.at(0);
    const bool stakeout = command == "stakeout";
    const std::vector<std::string> names = stakeout
                                               ? std::vector<std::string>{"job", "station", "backsight", "backsight-azimuth"}
                                               : std::vector<std::string>{"job", "format"};
    const std::optional<Options> options = ReadOptions(args, names, command, err);
    if (!options) return 2;
    if (options->help) {
        out << (stakeout ? kStakeoutUsage : kPointsUsage);
        return 0;
    }
    const auto given = [&](const char* name) { return options->values.count(name) != 0; };
    if (!given("job")) {
        err << "capbeam-cli " << command << ": 缺少选项 --job（作业文件）。用法见 capbeam-cli " << command << " --help。\n";
        return 2;
    }
    const std::string format = given("format") ? options->values.at("format") : "csv";
    if (format != "csv" && format != "cass" && format != "gsi") {
        err << "capbeam-cli points: --format 只能是 csv、cass 或 gsi，不能是「" << format << "」。\n";
        return 2;
    }
    if (options->bom && format != "csv") {
        err << "capbeam-cli points: --bom 只用于 CSV；全站仪坐标文件不加字节顺序标记。\n";
        return 2;
    }
    if (given("backsight") && given("backsight-azimuth")) {
        err << "capbeam-cli stakeout: 后视只能给一种：--backsight（后视点）或 --backsight-azimuth（后视方位角）。\n";
        return 2;
    }
#ifndef CAPBEAM_WITH_JOBS
    (void)out;
    err << "capbeam-cli " << command << ": 这个版本的 capbeam-cli 编译时没有 Qt，不能读作业文件。\n";
    return 2;
#else
    const std::string& path = options->values.at("job");
    std::vector<SitePoint> points;
    SiteWork site;
    try {
        const Job job = ReadJobFile(path);
        const PierTable table = ReplayedTable(job);
        site = job.site;
        for (const auto& [later, earlier] : RepeatedChainages(table))
            if (!IsDeleted(site, later) && !IsDeleted(site, earlier))
                err << "capbeam-cli " << command << ": 第 " << later << " 行（" << PierName(site, later)
                    << "）的桩号与第 " << earlier << " 行（" << PierName(site, earlier)
                    << "）相同，同一个墩算了两次，点会重复；不需要的行请在窗口的计算记录中删除。\n";
        points = SitePointsOf(table, site);
    } catch (const Failure& failure) {
        err << "capbeam-cli " << command << ": " << JobOpenFailureText(path, failure.message().text) << '\n';
        return 2;
    }

    if (!stakeout) {
        std::string text;
        if (format == "csv") {
            text = PointsCsv(points, options->bom);
        } else if (format == "cass") {
            text = SitePointsCass(points);
        } else {
            std::vector<RenamedPoint> renamed;
            try {
                text = SitePointsGsi(points, &renamed);
            } catch (const Failure& failure) {
                err << "capbeam-cli points: " << failure.message().text << '\n';
                return 2;
            }
            if (const auto message = RenamedMessage(renamed)) err << "capbeam-cli points: " << *message << '\n';
        }
        return Write(out, text, command, err) ? 0 : 3;
    }

    try {
        SiteStation station = site.station.value_or(SiteStation{});
        if (given("station")) {
            const auto [X, Y] = ReadPair(options->values.at("station"), "测站 --station ");
            station.name.clear();
            station.X = X;
            station.Y = Y;
        } else if (!site.station) {
            throw Failure(ErrorKind::NoCurve, "作业中没有保存测站；请用 --station X,Y 给出测站坐标。");
        }
        if (given("backsight")) {
            const auto [X, Y] = ReadPair(options->values.at("backsight"), "后视点 --backsight ");
            station.backsightIsAzimuth = false;
            station.backsightName.clear();
            station.backsightX = X;
            station.backsightY = Y;
        } else if (given("backsight-azimuth")) {
            station.backsightIsAzimuth = true;
            station.backsightName.clear();
            station.backsightAzimuthDms = ReadAzimuthDms(options->values.at("backsight-azimuth"));
        } else if (!site.station) {
            throw Failure(ErrorKind::NoCurve,
                          "缺少后视：请用 --backsight X,Y 给出后视点，或用 --backsight-azimuth 给出后视方位角。");
        }
        const StakeoutRow back = BacksightRow(station);
        return Write(out, StakeoutCsv(back, StakeoutOf(station, points), options->bom), command, err) ? 0 : 3;
    } catch (const Failure& failure) {
        err << "capbeam-cli stakeout: " << failure.message().text << '\n';
        return 2;
    }
#endif
}

}  // namespace capbeam
