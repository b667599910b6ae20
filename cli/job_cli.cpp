#include "cli/job_cli.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "core/failure.h"
#ifdef CAPBEAM_WITH_JOBS
#include "flows/job_replay.h"
#include "records/job.h"
#endif

namespace capbeam {

#ifdef CAPBEAM_WITH_JOBS
namespace {

// The shortest text that reads back as the same double.
std::string Exact(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Whether the command line gives the option, as `--name value` or `--name=value`.
bool Gives(const std::vector<std::string>& args, const std::string& name) {
    const std::string option = "--" + name;
    return std::any_of(args.begin(), args.end(),
                       [&](const std::string& a) { return a == option || a.rfind(option + "=", 0) == 0; });
}

}  // namespace
#endif

std::optional<JobBatch> BatchArgumentsWithJob(const std::vector<std::string>& args, std::ostream& err) {
    std::vector<std::string> rest;
    std::optional<std::string> path;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (a == "--job" && i + 1 < args.size()) {
            path = args[++i];
        } else if (a.rfind("--job=", 0) == 0) {
            path = a.substr(6);
        } else {
            rest.push_back(a);
        }
    }
    if (!path) return JobBatch{args, std::nullopt};  // no job: the batch reads its options as ever (a bare --job is told there)
#ifndef CAPBEAM_WITH_JOBS
    err << "capbeam-cli batch: 这个版本的 capbeam-cli 编译时没有 Qt，不能读作业文件；请把平曲线数据写成选项。\n";
    return std::nullopt;
#else

    JobSummary summary;
    const JobStep* setUp = nullptr;
    JobBatch batch;
    try {
        const Job job = ReadJobFile(*path);
        summary = SummariseJob(job);
        for (const JobStep& step : job.steps)
            if (step.kind == JobStep::Kind::SetUp) setUp = &step;
        std::vector<std::string> added;
        const auto add = [&](const std::string& option, const std::string& value) {
            if (!Gives(rest, option)) added.insert(added.end(), {"--" + option, value});
        };
        if (summary.alignment) {
            batch.alignment = summary.alignment;
            const std::vector<std::string>& f = summary.alignmentFields;
            const auto field = [&](std::size_t i) { return i < f.size() ? f[i] : std::string(); };
            if (!field(0).empty()) add("kj", field(0));
            if (!field(1).empty()) add("b", field(1));
            if (!field(3).empty()) add("dr", field(3));
            if (!field(2).empty()) add("dl", field(2));
        } else {
            if (!setUp)
                throw Failure(ErrorKind::NoCurve, "作业里还没有完成的“进行计算”（平曲线和设计盖梁），也没有道路线形，没有可以计算的线路。");
            const std::vector<std::string>& names = ReplyNames(JobStep::Kind::SetUp);
            for (std::size_t n = 0; n < names.size(); ++n) {
                std::string option = names[n];
                std::transform(option.begin(), option.end(), option.begin(),
                               [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
                add(option, setUp->replies[n]);
            }
            if (summary.hasDr) add("dr", Exact(summary.Dr));
        }
        if (!Gives(rest, "orientation"))
            added.insert(added.end(),
                         {"--orientation", summary.orientation == Orientation::Tangent ? "tangent" : "parallel"});
        // Options take their values from the following argument: a value
        // that is not an option is not a chainage.
        bool chainages = false;
        for (std::size_t i = 0; i < rest.size(); ++i) {
            const std::string& a = rest[i];
            if (a == "--") {
                chainages |= i + 1 < rest.size();
                break;
            }
            if (a == "--from" || a.rfind("--from=", 0) == 0) chainages = true;
            if (a.rfind("--", 0) == 0) {
                if (a.find('=') == std::string::npos && a != "--bom") ++i;
                continue;
            }
            chainages = true;
        }
        rest.insert(rest.begin(), added.begin(), added.end());
        if (!chainages) {
            if (summary.chainages.empty())
                throw Failure(ErrorKind::NoCurve, "作业的计算记录里还没有桩号；请在命令行写出要计算的桩号。");
            if (std::find(rest.begin(), rest.end(), "--") == rest.end()) rest.push_back("--");
            if (summary.alignment)
                for (const Chainage& Kp : summary.stations)
                    rest.push_back(Exact(Kp.value) + (Kp.stretch >= 0 ? "[" + std::to_string(Kp.stretch) + "]" : ""));
            else
                for (const double Kp : summary.chainages) rest.push_back(Exact(Kp));
        }
    } catch (const Failure& failure) {
        err << "capbeam-cli batch: " << JobOpenFailureText(*path, failure.message().text) << '\n';
        return std::nullopt;
    }
    batch.args = std::move(rest);
    return batch;
#endif
}

}  // namespace capbeam
