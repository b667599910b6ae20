#include "flows/alignment_beams.h"

#include <cmath>

#include "core/failure.h"
#include "core/rules.h"
#include "core/text_formats.h"
#include "records/alignment_csv.h"
#include "records/chainage_text.h"

namespace capbeam {

namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

[[noreturn]] void Refuse(const std::string& text) { throw Failure(ErrorKind::OutOfRange, text); }

double HalfWidth(const std::string& text, const std::string& caption) {
    double D = 0;
    try {
        D = ReadDouble(text);
    } catch (const Failure& failure) {
        Refuse(caption + "：" + failure.message().text);
    }
    if (!(D >= 0 && std::isfinite(D))) Refuse(caption + "：路基半幅宽度不能是负数。请输入 0 或正数（米）。");
    return D;
}

}  // namespace

AlignmentBeamDesign ReadAlignmentBeamDesign(const std::vector<std::string>& fields) {
    const auto field = [&](std::size_t i) { return i < fields.size() ? Trimmed(fields[i]) : std::string(); };
    AlignmentBeamDesign in;
    if (field(0).empty()) Refuse("请输入设计盖梁的中桩桩号 Kj，例如 K0+250 或 250。");
    try {
        in.Kj = ReadChainage(field(0));
    } catch (const Failure& failure) {
        Refuse("设计中桩 Kj：" + failure.message().text);
    }
    try {
        in.Bdms = ReadSkewReply(field(1));
    } catch (const Failure& failure) {
        Refuse("交角 B：" + failure.message().text);
    }
    if (const auto problem = SkewProblem(in.Bdms)) Refuse("交角 B：" + *problem);
    if (field(3).empty()) Refuse("请输入右侧路基半幅宽度 DR（米）；左右相同时左半幅可以不填。");
    in.DR = HalfWidth(field(3), "右半幅 DR");
    in.DL = field(2).empty() ? in.DR : HalfWidth(field(2), "左半幅 DL");
    return in;
}

LoadedRoad LoadAlignment(const JobAlignment& alignment) {
    return alignment.kind == JobAlignment::Kind::JdTable ? RoadFromJdTable(ReadJdTableCsv(alignment.table))
                                                         : RoadFromElementTable(ReadElementTableCsv(alignment.table));
}

std::pair<std::optional<double>, std::optional<double>> DrawnHalfWidths(const std::vector<std::string>& fields) {
    const auto width = [&](std::size_t i) -> std::optional<double> {
        if (i >= fields.size()) return std::nullopt;
        try {
            const double D = ReadDouble(Trimmed(fields[i]));
            if (D >= 0 && D < 1e4) return D;
        } catch (const Failure&) {
        }
        return std::nullopt;
    };
    const std::optional<double> DR = width(3);
    return {fields.size() < 3 || Trimmed(fields[2]).empty() ? DR : width(2), DR};
}

std::string RoadFollowedText(const RoadFollowed& f, bool opened) {
    const std::string n = std::to_string(f.beams);
    if (!f.readable)
        return "线形表现在不能使用，计算记录中这条线形上的 " + n +
               " 根盖梁暂时作废（没有座标，不画图、不导出、不放样）；线形表改好后会按新的线形重新计算。";
    std::string text = opened ? "作业中道路线形上的 " + n + " 根盖梁已按道路线形页的线形重新计算"
                              : "线形已改，计算记录中这条线形上的 " + n + " 根盖梁已按现在的线形重新计算";
    if (f.moved == 0 && f.refused == 0) return text + (opened ? "。" : "，都没有移动超过 1 毫米。");
    std::vector<std::string> parts;
    if (f.refused > 0) parts.push_back(std::to_string(f.refused) + " 根放不上，在计算记录中标为作废");
    if (f.moved > 0)
        parts.push_back(std::to_string(f.moved) + " 根移动超过 1 毫米（最多 " + FixedText(f.farthest) + " 米）");
    else if (f.refused < f.beams)
        parts.push_back("其余都没有移动超过 1 毫米");
    text += "：" + parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) text += "；" + parts[i];
    // A job opened with beams refused but none moved was saved so: nothing exported from it changed.
    if (f.moved == 0 && opened) return text + "。";
    return text + "。此前导出的座标、图纸和计算书已经过时，请重新导出。";
}

std::optional<PageRoad> PageRoadOf(const Job& job) {
    if (!job.page) return std::nullopt;
    try {
        const auto [DL, DR] = DrawnHalfWidths(job.pageFields);
        return PageRoad{LoadAlignment(*job.page), DL, DR};
    } catch (const Failure&) {
        return std::nullopt;
    }
}

}  // namespace capbeam
