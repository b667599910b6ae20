#include "records/beam_points.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>

#include "core/dms.h"
#include "core/failure.h"
#include "core/text_formats.h"
#include "geometry/beam_frame.h"
#include "geometry/stakeout.h"

namespace capbeam {

namespace {

constexpr std::size_t kMaxNameCharacters = 32;
constexpr std::size_t kGsiNameLength = 16;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

[[noreturn]] void Refuse(const std::string& why) { throw Failure(ErrorKind::OutOfRange, why); }

// UTF-8 characters, not bytes: a Chinese name is counted as the user sees it.
std::size_t Characters(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

const char* CentreSuffix() { return "C"; }
const char* LeftSuffix(GroupKind kind) { return kind == GroupKind::Alignment ? "L" : "IN"; }
const char* RightSuffix(GroupKind kind) { return kind == GroupKind::Alignment ? "R" : "OUT"; }

// The road's forward tangent at the beam's centre. On the single curve it
// follows from the curve's sense of turn; an alignment's beam was placed with
// its left end in the inner fields (geometry/alignment_beam.h), so the
// tangent is a quarter turn anticlockwise from its left-to-right axis.
double ForwardAzimuth(const PierGroup& group, const PierRow& row) {
    const BeamEnds& e = row.ends;
    if (group.kind == GroupKind::SingleCurve) return ForwardAzimuthOnCurve(group.curve, e.Xk, e.Yk);
    const Bearing axis = BearingBetween(e.Xin, e.Yin, e.Xout, e.Yout);
    return ReduceToTurn(axis.azimuth - 90);
}

void AppendLine(std::string& out, std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first) out += ',';
        first = false;
        // Names keep NameProblem's rules, but a hand-made list may not have
        // passed it: quote as RFC 4180 does rather than split a line.
        if (field.find_first_of(",\"\r\n") != std::string_view::npos) {
            out += '"';
            for (const char c : field) {
                if (c == '"') out += '"';
                out += c;
            }
            out += '"';
        } else {
            out += field;
        }
    }
    out += "\r\n";
}

bool GsiCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

// Millimetres as the 16 digits of a GSI-16 word with its sign before them:
// the same digits as the three decimals the other files write.
std::string GsiMillimetres(double metres) {
    std::string digits = FixedText(metres);
    const bool negative = digits.front() == '-';
    digits.erase(std::remove_if(digits.begin(), digits.end(), [](char c) { return c == '-' || c == '.'; }),
                 digits.end());
    if (digits.size() > kGsiNameLength)
        throw Failure(ErrorKind::Overflow, "坐标 " + FixedText(metres) + " 太大，GSI 文件的 16 位数字写不下。");
    return (negative ? "-" : "+") + std::string(kGsiNameLength - digits.size(), '0') + digits;
}

}  // namespace

std::string DefaultPierName(int number) { return "P" + std::to_string(number); }

std::string PierName(const SiteWork& site, int number) {
    const auto it = site.pierNames.find(number);
    return it == site.pierNames.end() ? DefaultPierName(number) : it->second;
}

bool IsDeleted(const SiteWork& site, int number) {
    return std::binary_search(site.deletedPiers.begin(), site.deletedPiers.end(), number);
}

std::optional<std::string> NameProblem(std::string_view name) {
    if (name.empty()) return "名称是空的，请输入一个名称。";
    if (name.front() == ' ' || name.back() == ' ') return "名称的开头或结尾有空格，请去掉。";
    for (const char c : name) {
        if (c == ',' || c == '"') return "名称中不能有逗号或引号（坐标文件用逗号分隔各项），请换用“-”或“_”。";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "名称中有控制字符（如换行、制表符），请去掉。";
    }
    if (Characters(name) > kMaxNameCharacters)
        return "名称太长（超过 " + std::to_string(kMaxNameCharacters) + " 个字），请缩短。";
    return std::nullopt;
}

void CheckSiteWork(const SiteWork& site) {
    for (const auto& [number, name] : site.pierNames) {
        if (number < 1) Refuse("墩名对应的行号 " + std::to_string(number) + " 不是正整数。");
        if (const auto problem = NameProblem(name)) Refuse("第 " + std::to_string(number) + " 行的墩名“" + name + "”不能用：" + *problem);
    }
    for (const int number : site.deletedPiers)
        if (number < 1) Refuse("删除的行号 " + std::to_string(number) + " 不是正整数。");
    std::set<std::string> names{"C", "IN", "OUT", "L", "R"};
    for (const BeamPointDef& def : site.beamPoints) {
        if (const auto problem = NameProblem(def.name)) Refuse("盖梁上的点“" + def.name + "”的点名不能用：" + *problem);
        if (!names.insert(def.name).second)
            Refuse("盖梁上的点名“" + def.name +
                   "”重复了，或与中心 C、端点 IN/OUT/L/R 同名；每个点要有自己的名称，请改名。");
        if (!std::isfinite(def.along) || !std::isfinite(def.across))
            Refuse("盖梁上的点“" + def.name + "”的距离不是一个有限的数。");
    }
    if (site.station) {
        const SiteStation& s = *site.station;
        if (!std::isfinite(s.X) || !std::isfinite(s.Y) || !std::isfinite(s.backsightX) || !std::isfinite(s.backsightY))
            Refuse("测站或后视点的坐标不是一个有限的数。");
        if (s.backsightIsAzimuth) {
            const Dms a = SplitDms(s.backsightAzimuthDms);
            if (!std::isfinite(s.backsightAzimuthDms) || s.backsightAzimuthDms < 0 || s.backsightAzimuthDms >= 360 ||
                !IsValidDms(a))
                Refuse("后视方位角应当是 0 到 360 度之间的度.分秒（例如 45.3015 即 45°30′15″），分和秒都小于 60。");
        }
    }
}

std::map<int, int> RepeatedChainages(const PierTable& table) {
    std::map<std::pair<GroupKind, double>, int> first;
    std::map<int, int> repeated;
    for (const PierGroup& group : table.Groups())
        for (const PierRow& row : group.rows) {
            const auto [it, added] = first.emplace(std::make_pair(group.kind, Round3(row.Kp)), row.number);
            if (!added) repeated[row.number] = it->second;
        }
    return repeated;
}

std::vector<SitePoint> PierPoints(const PierGroup& group, const PierRow& row, const std::string& pierName,
                                  const std::vector<BeamPointDef>& defs) {
    const BeamEnds& e = row.ends;
    std::vector<SitePoint> points{{pierName + "-" + CentreSuffix(), e.Xk, e.Yk},
                                  {pierName + "-" + LeftSuffix(group.kind), e.Xin, e.Yin},
                                  {pierName + "-" + RightSuffix(group.kind), e.Xout, e.Yout}};
    if (defs.empty()) return points;
    const BeamFrame frame = FrameOf(e, ForwardAzimuth(group, row));
    for (const BeamPointDef& def : defs) {
        const FramePoint p = PointInFrame(frame, def.along, def.across);
        points.push_back({pierName + "-" + def.name, p.X, p.Y});
    }
    return points;
}

std::vector<SitePoint> SitePointsOf(const PierTable& table, const SiteWork& site) {
    std::vector<SitePoint> points;
    for (const PierGroup& group : table.Groups())
        for (const PierRow& row : group.rows) {
            if (IsDeleted(site, row.number)) continue;
            try {
                const std::vector<SitePoint> pier = PierPoints(group, row, PierName(site, row.number), site.beamPoints);
                points.insert(points.end(), pier.begin(), pier.end());
            } catch (const Failure& failure) {
                throw Failure(failure.kind(), "第 " + std::to_string(row.number) + " 行（" +
                                                  PierName(site, row.number) + "）：" + failure.message().text);
            }
        }
    return points;
}

StakeoutRow BacksightRow(const SiteStation& s) {
    StakeoutRow row;
    row.name = s.backsightName.empty() ? "后视" : s.backsightName;
    if (s.backsightIsAzimuth) {
        row.azimuth = ReduceToTurn(DecimalDegrees(SplitDms(s.backsightAzimuthDms)));
        return row;
    }
    const Bearing b = BearingBetween(s.X, s.Y, s.backsightX, s.backsightY);
    if (!(b.distance > 0))
        throw Failure(ErrorKind::Geometry, "后视点与测站点重合，定不出后视方向；请输入另一个已知点作后视，或直接输入后视方位角。");
    row.azimuth = b.azimuth;
    row.distance = b.distance;
    return row;
}

std::vector<StakeoutRow> StakeoutOf(const SiteStation& station, const std::vector<SitePoint>& points) {
    const double back = BacksightRow(station).azimuth;
    std::vector<StakeoutRow> rows;
    rows.reserve(points.size());
    for (const SitePoint& p : points) {
        const Bearing b = BearingBetween(station.X, station.Y, p.X, p.Y);
        rows.push_back({p.name, b.azimuth, AngleTurned(back, b.azimuth), b.distance});
    }
    return rows;
}

std::string PointsCsv(const std::vector<SitePoint>& points, bool byteOrderMark) {
    std::string out = byteOrderMark ? kByteOrderMark : "";
    AppendLine(out, {"点名", "X", "Y"});
    for (const SitePoint& p : points) AppendLine(out, {p.name, FixedText(p.X), FixedText(p.Y)});
    return out;
}

std::string StakeoutCsv(const std::optional<StakeoutRow>& backsight, const std::vector<StakeoutRow>& rows,
                        bool byteOrderMark) {
    std::string out = byteOrderMark ? kByteOrderMark : "";
    AppendLine(out, {"点名", "方位角", "水平角", "平距"});
    const auto line = [&out](const StakeoutRow& r, bool distance) {
        AppendLine(out, {r.name, AzimuthDmsText(r.azimuth), AzimuthDmsText(r.angle),
                         distance ? FixedText(r.distance) : std::string()});
    };
    // A backsight given by its azimuth alone has no distance to check.
    if (backsight) line(*backsight, backsight->distance > 0);
    for (const StakeoutRow& r : rows) line(r, true);
    return out;
}

std::string SitePointsCass(const std::vector<SitePoint>& points) {
    std::string out;
    for (const SitePoint& p : points) {
        out += p.name;
        out += ",,";
        out += FixedText(p.Y);
        out += ',';
        out += FixedText(p.X);
        out += ",\r\n";
    }
    return out;
}

std::string SitePointsGsi(const std::vector<SitePoint>& points, std::vector<RenamedPoint>* renamed) {
    // Names first, all of them, so that a shortened name never takes one
    // that a later point keeps as it is.
    std::vector<std::string> written(points.size());
    std::set<std::string> taken;
    std::vector<bool> kept(points.size(), false);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::string& name = points[i].name;
        // The number is padded with zeros on the left: "0P1" would read as "P1".
        kept[i] = !name.empty() && name.front() != '0' && name.size() <= kGsiNameLength &&
                  std::all_of(name.begin(), name.end(), GsiCharacter) && taken.insert(name).second;
        if (kept[i]) written[i] = name;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (kept[i]) continue;
        std::string name;
        std::copy_if(points[i].name.begin(), points[i].name.end(), std::back_inserter(name), GsiCharacter);
        name.erase(0, name.find_first_not_of('0'));
        if (name.size() > kGsiNameLength) name.resize(kGsiNameLength);
        for (std::size_t n = i + 1; name.empty() || !taken.insert(name).second; ++n)
            name = "N" + std::to_string(n);
        written[i] = name;
        if (renamed) renamed->push_back({points[i].name, name});
    }
    std::string out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        // The block's number in the word's four places, counting on past 9999 from 0.
        const std::string block = std::to_string((i + 1) % 10000);
        out += "*11";
        out += std::string(4 - block.size(), '0') + block;
        out += '+';
        out += std::string(kGsiNameLength - written[i].size(), '0') + written[i];
        out += " 81..10";
        out += GsiMillimetres(points[i].Y);
        out += " 82..10";
        out += GsiMillimetres(points[i].X);
        out += " \r\n";
    }
    return out;
}

std::optional<std::string> RenamedMessage(const std::vector<RenamedPoint>& renamed) {
    if (renamed.empty()) return std::nullopt;
    std::string text = "GSI 文件的点号最多 16 个字符，只能用英文字母、数字和 - _ .，" + std::to_string(renamed.size()) +
                       " 个点名在文件中改写了（坐标不变）：\n";
    constexpr std::size_t kListed = 20;
    for (std::size_t i = 0; i < renamed.size() && i < kListed; ++i)
        text += renamed[i].name + " → " + renamed[i].written + "\n";
    if (renamed.size() > kListed) text += "……其余 " + std::to_string(renamed.size() - kListed) + " 个从略。\n";
    text += "在全站仪上请按改写后的点号查找；若要保留原名，请把墩名和点名改为英文字母和数字。";
    return text;
}

SiteSheetParts SiteSheetPartsOf(const PierTable& table, const SiteWork& site) {
    SiteSheetParts parts;
    parts.points = SitePointsOf(table, site);
    if (!site.station) return parts;
    const SiteStation& st = *site.station;
    const auto named = [](const std::string& name, const char* otherwise) { return name.empty() ? std::string(otherwise) : name; };
    parts.station = "测站 " + named(st.name, "") + " (" + FixedText(st.X) + ", " + FixedText(st.Y) + ")，";
    if (st.backsightIsAzimuth)
        parts.station += "后视方位角 " + NumberText(st.backsightAzimuthDms) + "（度.分秒）";
    else
        parts.station += "后视 " + named(st.backsightName, "") + " (" + FixedText(st.backsightX) + ", " +
                         FixedText(st.backsightY) + ")";
    try {
        parts.stakeout.push_back(BacksightRow(st));
    } catch (const Failure&) {
    }
    for (StakeoutRow& row : StakeoutOf(st, parts.points)) parts.stakeout.push_back(std::move(row));
    return parts;
}

}  // namespace capbeam
