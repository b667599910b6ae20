#include "records/job.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <algorithm>
#include <cmath>

#include "core/failure.h"

namespace capbeam {

namespace {

// Every refusal ends with what to do, as the window's messages do.
[[noreturn]] void Refuse(const std::string& why) {
    throw Failure(ErrorKind::TypeMismatch,
                  "这个文件不能作为作业打开：" + why + "\n当前的作业没有改变。");
}

// A text as the job keeps it. Byte-order marks at its start are dropped, as
// Qt's JSON reader and writer drop them from most strings but not all (not
// from a string with escapes): a job written and read again is the same job.
std::string Utf8(const QString& text) {
    qsizetype marks = 0;
    while (marks < text.size() && text.at(marks) == QChar(0xFEFF)) ++marks;
    return text.mid(marks).toUtf8().toStdString();
}
QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const char* OrientationName(Orientation o) { return o == Orientation::Tangent ? "tangent" : "parallel"; }

Orientation ReadOrientation(const QJsonObject& object, const std::string& where) {
    const QJsonValue value = object.value(QStringLiteral("orientation"));
    if (value.isUndefined()) return Orientation::Parallel;
    if (value == QJsonValue(QStringLiteral("parallel"))) return Orientation::Parallel;
    if (value == QJsonValue(QStringLiteral("tangent"))) return Orientation::Tangent;
    Refuse(where + "的 orientation 只能是 \"parallel\" 或 \"tangent\"。");
}

const char* ActionName(JobStep::Kind kind) {
    switch (kind) {
        case JobStep::Kind::SetUp: return "setup";
        case JobStep::Kind::Request: return "request";
        case JobStep::Kind::Batch: return "batch";
        case JobStep::Kind::AlignmentBeams: return "alignment-beams";
    }
    return "";
}

double ReadNumber(const QJsonValue& value, const std::string& what) {
    if (!value.isDouble() || !std::isfinite(value.toDouble())) Refuse(what + "应当是一个数。");
    return value.toDouble();
}

std::vector<std::string> ReadTexts(const QJsonObject& typed, const std::vector<std::string>& names,
                                   const std::string& where);
Chainage ReadStation(const QJsonValue& item, const std::string& where);

JobStep ReadStep(const QJsonValue& value, std::size_t number, std::size_t alignments) {
    const std::string where = "第 " + std::to_string(number) + " 步（journal 中）";
    if (!value.isObject()) Refuse(where + "不是一个对象。");
    const QJsonObject object = value.toObject();
    JobStep step;
    const QJsonValue action = object.value(QStringLiteral("action"));
    if (action == QJsonValue(QStringLiteral("setup")))
        step.kind = JobStep::Kind::SetUp;
    else if (action == QJsonValue(QStringLiteral("request")))
        step.kind = JobStep::Kind::Request;
    else if (action == QJsonValue(QStringLiteral("batch")))
        step.kind = JobStep::Kind::Batch;
    else if (action == QJsonValue(QStringLiteral("alignment-beams")))
        step.kind = JobStep::Kind::AlignmentBeams;
    else
        Refuse(where + "的 action 不是 \"setup\"、\"request\"、\"batch\" 或 \"alignment-beams\"；"
                       "它可能来自更新版本的程序，请更新本程序后再打开。");

    if (step.kind == JobStep::Kind::Batch) {
        step.orientation = ReadOrientation(object, where);
        step.Dr = ReadNumber(object.value(QStringLiteral("Dr")), where + "的 Dr ");
        const QJsonValue list = object.value(QStringLiteral("chainages"));
        if (!list.isArray()) Refuse(where + "的 chainages 应当是一列桩号（以米为单位的数）。");
        // As many as one batch may run; a file with more was not saved by a batch.
        if (static_cast<std::size_t>(list.toArray().size()) > kMaxJobChainages)
            Refuse(where + "的桩号超过 100000 个。");
        for (const QJsonValue& item : list.toArray())
            step.chainages.push_back(ReadNumber(item, where + "的 chainages 中每一项"));
        return step;
    }
    if (step.kind != JobStep::Kind::SetUp) step.orientation = ReadOrientation(object, where);
    const QJsonValue replies = object.value(QStringLiteral("replies"));
    if (!replies.isObject()) Refuse(where + "缺少 replies（输入的各项数值）。");
    step.replies = ReadTexts(replies.toObject(), ReplyNames(step.kind), where);
    if (step.kind == JobStep::Kind::AlignmentBeams) {
        const QJsonValue index = object.value(QStringLiteral("alignment"));
        if (!index.isDouble() || index.toDouble() != std::floor(index.toDouble()) || index.toDouble() < 0 ||
            index.toDouble() >= static_cast<double>(alignments))
            Refuse(where + "的 alignment 应当是 alignments 中一条线形的序号（从 0 起）。");
        step.alignment = static_cast<int>(index.toDouble());
        const QJsonValue list = object.value(QStringLiteral("chainages"));
        if (!list.isArray()) Refuse(where + "的 chainages 应当是一列桩号。");
        if (static_cast<std::size_t>(list.toArray().size()) > kMaxJobChainages)
            Refuse(where + "的桩号超过 100000 个。");
        for (const QJsonValue& item : list.toArray()) step.stations.push_back(ReadStation(item, where));
    }
    return step;
}

std::vector<std::string> ReadTexts(const QJsonObject& typed, const std::vector<std::string>& names,
                                   const std::string& where) {
    std::vector<std::string> texts;
    for (const std::string& name : names) {
        const QJsonValue reply = typed.value(Qs(name));
        if (!reply.isString()) Refuse(where + "缺少 " + name + " 的输入值（应当是输入时的文字，例如 \"500\"）。");
        texts.push_back(Utf8(reply.toString()));
    }
    return texts;
}

// A beam's chainage on an alignment: metres, or [metres, stretch] where the
// user named the stretch of a chainage that occurs twice.
Chainage ReadStation(const QJsonValue& item, const std::string& where) {
    const std::string what = where + "的 chainages 中每一项应当是以米为单位的数，或 [数, 段号]。";
    if (item.isDouble()) return {ReadNumber(item, what), kAnyStretch};
    if (!item.isArray() || item.toArray().size() != 2) Refuse(what);
    const QJsonValue stretch = item.toArray().at(1);
    if (!stretch.isDouble() || stretch.toDouble() != std::floor(stretch.toDouble()) || stretch.toDouble() < 0 ||
        stretch.toDouble() > 100000)
        Refuse(what);
    return {ReadNumber(item.toArray().at(0), what), static_cast<int>(stretch.toDouble())};
}

QJsonValue StationValue(const Chainage& c) {
    if (c.stretch == kAnyStretch) return c.value;
    return QJsonArray{c.value, c.stretch};
}

const char* AlignmentKindName(JobAlignment::Kind kind) {
    return kind == JobAlignment::Kind::ElementTable ? "elements" : "jd";
}

JobAlignment ReadAlignment(const QJsonValue& value, const std::string& where) {
    if (!value.isObject()) Refuse(where + "不是一个对象。");
    const QJsonObject object = value.toObject();
    JobAlignment a;
    const QJsonValue kind = object.value(QStringLiteral("kind"));
    if (kind == QJsonValue(QStringLiteral("jd")))
        a.kind = JobAlignment::Kind::JdTable;
    else if (kind == QJsonValue(QStringLiteral("elements")))
        a.kind = JobAlignment::Kind::ElementTable;
    else
        Refuse(where + "的 kind 只能是 \"jd\"（交点表）或 \"elements\"（线元表）。");
    const QJsonValue name = object.value(QStringLiteral("name"));
    const QJsonValue table = object.value(QStringLiteral("table"));
    if (!name.isString() || !table.isString()) Refuse(where + "缺少 name 或 table（线形表的文字）。");
    a.name = Utf8(name.toString());
    a.table = Utf8(table.toString());
    return a;
}

QJsonObject AlignmentObject(const JobAlignment& a) {
    QJsonObject object;
    object.insert(QStringLiteral("kind"), QString::fromLatin1(AlignmentKindName(a.kind)));
    object.insert(QStringLiteral("name"), Qs(a.name));
    object.insert(QStringLiteral("table"), Qs(a.table));
    return object;
}

const std::vector<std::string>& PageFieldNames() {
    static const std::vector<std::string> kNames{"Kj", "B", "DL", "DR"};
    return kNames;
}

// ---- The set-out on site (minor version 1) ---------------------------------
// pierNames {"3": "3#墩"}, deletedPiers [5], beamPoints [{"name", "along",
// "across"}], station {"name", "X", "Y", and "backsight" {"name", "X", "Y"}
// or "backsightAzimuth" (D.MMSS)}; each written only when it holds something.

bool SiteKey(const QString& key) {
    static const QStringList kSite{QStringLiteral("pierNames"), QStringLiteral("deletedPiers"),
                                   QStringLiteral("beamPoints"), QStringLiteral("station")};
    return kSite.contains(key);
}

void WriteSite(const SiteWork& site, QJsonObject& root) {
    if (!site.pierNames.empty()) {
        QJsonObject names;
        for (const auto& [number, name] : site.pierNames) names.insert(QString::number(number), Qs(name));
        root.insert(QStringLiteral("pierNames"), names);
    }
    if (!site.deletedPiers.empty()) {
        QJsonArray deleted;
        for (const int number : site.deletedPiers) deleted.append(number);
        root.insert(QStringLiteral("deletedPiers"), deleted);
    }
    if (!site.beamPoints.empty()) {
        QJsonArray points;
        for (const BeamPointDef& def : site.beamPoints)
            points.append(QJsonObject{{QStringLiteral("name"), Qs(def.name)},
                                      {QStringLiteral("along"), def.along},
                                      {QStringLiteral("across"), def.across}});
        root.insert(QStringLiteral("beamPoints"), points);
    }
    if (site.station) {
        const SiteStation& s = *site.station;
        QJsonObject station{{QStringLiteral("name"), Qs(s.name)}, {QStringLiteral("X"), s.X}, {QStringLiteral("Y"), s.Y}};
        if (s.backsightIsAzimuth)
            station.insert(QStringLiteral("backsightAzimuth"), s.backsightAzimuthDms);
        else
            station.insert(QStringLiteral("backsight"), QJsonObject{{QStringLiteral("name"), Qs(s.backsightName)},
                                                                    {QStringLiteral("X"), s.backsightX},
                                                                    {QStringLiteral("Y"), s.backsightY}});
        root.insert(QStringLiteral("station"), station);
    }
}

int ReadRowNumber(double value, const std::string& what) {
    if (value != std::floor(value) || value < 1 || value > 1e9) Refuse(what + "应当是计算记录中的行号（正整数）。");
    return static_cast<int>(value);
}

std::string ReadText(const QJsonValue& value, const std::string& what) {
    if (!value.isString()) Refuse(what + "应当是文字。");
    return Utf8(value.toString());
}

SiteWork ReadSite(const QJsonObject& root) {
    SiteWork site;
    if (const QJsonValue names = root.value(QStringLiteral("pierNames")); !names.isUndefined()) {
        if (!names.isObject()) Refuse("pierNames（墩名）应当是一个对象，例如 {\"3\": \"3#墩\"}。");
        const QJsonObject object = names.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            bool number = false;
            const double row = it.key().toDouble(&number);
            if (!number) Refuse("pierNames 的键“" + Utf8(it.key()) + "”不是行号。");
            site.pierNames[ReadRowNumber(row, "pierNames 的键")] = ReadText(it.value(), "pierNames 中的墩名");
        }
    }
    if (const QJsonValue deleted = root.value(QStringLiteral("deletedPiers")); !deleted.isUndefined()) {
        if (!deleted.isArray()) Refuse("deletedPiers（删除的行）应当是一列行号。");
        for (const QJsonValue& item : deleted.toArray())
            site.deletedPiers.push_back(ReadRowNumber(ReadNumber(item, "deletedPiers 中每一项"), "deletedPiers 中每一项"));
        std::sort(site.deletedPiers.begin(), site.deletedPiers.end());
        site.deletedPiers.erase(std::unique(site.deletedPiers.begin(), site.deletedPiers.end()), site.deletedPiers.end());
    }
    if (const QJsonValue points = root.value(QStringLiteral("beamPoints")); !points.isUndefined()) {
        if (!points.isArray()) Refuse("beamPoints（盖梁上的点）应当是一列点。");
        for (const QJsonValue& item : points.toArray()) {
            if (!item.isObject()) Refuse("beamPoints 中每一项应当是一个对象（name、along、across）。");
            const QJsonObject point = item.toObject();
            BeamPointDef def;
            def.name = ReadText(point.value(QStringLiteral("name")), "beamPoints 中的点名 name ");
            def.along = ReadNumber(point.value(QStringLiteral("along")), "点“" + def.name + "”的 along ");
            if (point.contains(QStringLiteral("across")))
                def.across = ReadNumber(point.value(QStringLiteral("across")), "点“" + def.name + "”的 across ");
            site.beamPoints.push_back(def);
        }
    }
    if (const QJsonValue value = root.value(QStringLiteral("station")); !value.isUndefined()) {
        if (!value.isObject()) Refuse("station（测站）应当是一个对象。");
        const QJsonObject object = value.toObject();
        SiteStation s;
        if (object.contains(QStringLiteral("name"))) s.name = ReadText(object.value(QStringLiteral("name")), "测站的 name ");
        s.X = ReadNumber(object.value(QStringLiteral("X")), "测站的 X ");
        s.Y = ReadNumber(object.value(QStringLiteral("Y")), "测站的 Y ");
        const QJsonValue back = object.value(QStringLiteral("backsight"));
        const QJsonValue azimuth = object.value(QStringLiteral("backsightAzimuth"));
        if (back.isObject()) {
            const QJsonObject point = back.toObject();
            if (point.contains(QStringLiteral("name")))
                s.backsightName = ReadText(point.value(QStringLiteral("name")), "后视点的 name ");
            s.backsightX = ReadNumber(point.value(QStringLiteral("X")), "后视点的 X ");
            s.backsightY = ReadNumber(point.value(QStringLiteral("Y")), "后视点的 Y ");
        } else if (!azimuth.isUndefined()) {
            s.backsightIsAzimuth = true;
            s.backsightAzimuthDms = ReadNumber(azimuth, "后视方位角 backsightAzimuth ");
        } else {
            Refuse("测站缺少后视：backsight（后视点）或 backsightAzimuth（后视方位角）。");
        }
        site.station = s;
    }
    try {
        CheckSiteWork(site);
    } catch (const Failure& failure) {
        Refuse(failure.message().text);
    }
    return site;
}

bool Known(const QString& key) {
    static const QStringList kKnown{QStringLiteral("format"), QStringLiteral("version"), QStringLiteral("minor"),
                                    QStringLiteral("orientation"), QStringLiteral("journal"),
                                    QStringLiteral("alignments"), QStringLiteral("alignmentPage")};
    return kKnown.contains(key) || SiteKey(key);
}

}  // namespace

const std::vector<std::string>& ReplyNames(JobStep::Kind kind) {
    static const std::vector<std::string> kSetUp{"Xo", "Yo", "Kj", "Xj", "Yj", "B", "R", "P"};
    static const std::vector<std::string> kRequest{"Kp", "Dr", "mb"};
    static const std::vector<std::string> kNone;
    switch (kind) {
        case JobStep::Kind::SetUp: return kSetUp;
        case JobStep::Kind::Request: return kRequest;
        case JobStep::Kind::AlignmentBeams: return PageFieldNames();
        case JobStep::Kind::Batch: break;
    }
    return kNone;
}

std::string WriteJob(const Job& job) {
    QJsonObject root;
    for (const auto& [key, text] : job.kept) {
        const QByteArray wrapped = "[" + QByteArray::fromStdString(text) + "]";
        const QJsonDocument value = QJsonDocument::fromJson(wrapped);
        if (value.isArray() && value.array().size() == 1) root.insert(Qs(key), value.array().at(0));
    }
    root.insert(QStringLiteral("format"), QString::fromLatin1(kJobFormat));
    root.insert(QStringLiteral("version"), kJobVersion);
    root.insert(QStringLiteral("minor"), kJobMinorVersion);
    root.insert(QStringLiteral("orientation"), QString::fromLatin1(OrientationName(job.orientation)));
    QJsonArray journal;
    for (const JobStep& step : job.steps) {
        QJsonObject entry;
        entry.insert(QStringLiteral("action"), QString::fromLatin1(ActionName(step.kind)));
        if (step.kind != JobStep::Kind::SetUp)
            entry.insert(QStringLiteral("orientation"), QString::fromLatin1(OrientationName(step.orientation)));
        if (step.kind == JobStep::Kind::AlignmentBeams) {
            entry.insert(QStringLiteral("alignment"), step.alignment);
            QJsonArray chainages;
            for (const Chainage& c : step.stations) chainages.append(StationValue(c));
            entry.insert(QStringLiteral("chainages"), chainages);
        }
        if (step.kind == JobStep::Kind::Batch) {
            entry.insert(QStringLiteral("Dr"), step.Dr);
            QJsonArray chainages;
            for (const double Kp : step.chainages) chainages.append(Kp);
            entry.insert(QStringLiteral("chainages"), chainages);
        } else {
            QJsonObject replies;
            const std::vector<std::string>& names = ReplyNames(step.kind);
            for (std::size_t i = 0; i < names.size() && i < step.replies.size(); ++i)
                replies.insert(Qs(names[i]), Qs(step.replies[i]));
            entry.insert(QStringLiteral("replies"), replies);
        }
        journal.append(entry);
    }
    root.insert(QStringLiteral("journal"), journal);
    if (!job.alignments.empty()) {
        QJsonArray alignments;
        for (const JobAlignment& a : job.alignments) alignments.append(AlignmentObject(a));
        root.insert(QStringLiteral("alignments"), alignments);
    }
    if (job.page || !job.pageFields.empty()) {
        QJsonObject page;
        if (job.page) page.insert(QStringLiteral("alignment"), AlignmentObject(*job.page));
        QJsonObject fields;
        for (std::size_t i = 0; i < PageFieldNames().size() && i < job.pageFields.size(); ++i)
            fields.insert(Qs(PageFieldNames()[i]), Qs(job.pageFields[i]));
        page.insert(QStringLiteral("fields"), fields);
        root.insert(QStringLiteral("alignmentPage"), page);
    }
    WriteSite(job.site, root);
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

Job ReadJob(std::string_view bytes) {
    if (bytes.empty()) Refuse("文件是空的（0 字节），可能在保存时被中断。请打开备份或恢复文件。");
    if (bytes.size() > kMaxJobBytes) Refuse("文件太大（超过 16 MB），不是本程序保存的作业。");
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        const bool cut = error.error == QJsonParseError::UnterminatedObject ||
                         error.error == QJsonParseError::UnterminatedArray ||
                         error.error == QJsonParseError::UnterminatedString ||
                         (error.error == QJsonParseError::IllegalValue && error.offset >= data.size() - 1);
        if (cut)
            Refuse("文件只有 " + std::to_string(bytes.size()) +
                   " 个字节，在结尾处中断，内容不完整（可能保存时断电或复制没有完成）。请打开备份或恢复文件。");
        Refuse("内容不是有效的 JSON 文本（在第 " + std::to_string(error.offset) + " 个字节附近出错：" +
               Utf8(error.errorString()) + "），文件可能已损坏或不是作业文件。");
    }
    if (!document.isObject()) Refuse("它是 JSON 文本，但不是作业（最外层应当是一个对象）。");
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")) != QJsonValue(QString::fromLatin1(kJobFormat)))
        Refuse("它不是本程序的作业文件（缺少 \"format\": \"capbeam-job\"）。");
    const QJsonValue version = root.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) || version.toDouble() < 1)
        Refuse("文件中的版本号 version 不是正整数。");
    if (version.toDouble() > kJobVersion)
        Refuse("它由更新版本的程序保存（作业格式第 " + std::to_string(static_cast<long long>(
                                                          std::fmin(version.toDouble(), 1e15))) +
               " 版，本程序只认识第 " + std::to_string(kJobVersion) + " 版）。请更新本程序后再打开。");

    Job job;
    // A minor version that is not a small whole number is read as the oldest.
    const double minor = root.value(QStringLiteral("minor")).toDouble(0);
    job.minor = minor >= 0 && minor <= 1e6 && minor == std::floor(minor) ? static_cast<int>(minor) : 0;
    job.orientation = ReadOrientation(root, "文件");
    if (const QJsonValue alignments = root.value(QStringLiteral("alignments")); !alignments.isUndefined()) {
        if (!alignments.isArray()) Refuse("alignments 应当是一列线形。");
        if (static_cast<std::size_t>(alignments.toArray().size()) > kMaxJobSteps) Refuse("线形太多（超过 100000 条）。");
        for (const QJsonValue& a : alignments.toArray())
            job.alignments.push_back(ReadAlignment(a, "第 " + std::to_string(job.alignments.size() + 1) + " 条线形（alignments 中）"));
    }
    if (const QJsonValue page = root.value(QStringLiteral("alignmentPage")); !page.isUndefined()) {
        if (!page.isObject()) Refuse("alignmentPage 应当是一个对象。");
        const QJsonObject object = page.toObject();
        if (object.contains(QStringLiteral("alignment")))
            job.page = ReadAlignment(object.value(QStringLiteral("alignment")), "道路线形页的线形（alignmentPage 中）");
        const QJsonValue fields = object.value(QStringLiteral("fields"));
        if (!fields.isUndefined()) {
            if (!fields.isObject()) Refuse("alignmentPage 的 fields 应当是一个对象。");
            job.pageFields = ReadTexts(fields.toObject(), PageFieldNames(), "道路线形页（alignmentPage 中）");
        }
    }
    const QJsonValue journal = root.value(QStringLiteral("journal"));
    if (!journal.isArray()) Refuse("缺少 journal（计算步骤的记录）。");
    const QJsonArray steps = journal.toArray();
    if (static_cast<std::size_t>(steps.size()) > kMaxJobSteps) Refuse("计算步骤太多（超过 100000 步）。");
    std::size_t number = 0;
    std::size_t chainages = 0;
    for (const QJsonValue& step : steps) {
        job.steps.push_back(ReadStep(step, ++number, job.alignments.size()));
        chainages += job.steps.back().chainages.size();
        // Opening replays every chainage: a bounded job opens in seconds, not hours.
        if (chainages > 10 * kMaxJobChainages) Refuse("批量计算的桩号合计超过 1000000 个。");
    }
    job.site = ReadSite(root);
    for (auto it = root.begin(); it != root.end(); ++it)
        if (!Known(it.key())) {
            QJsonArray wrapped{it.value()};
            QByteArray text = QJsonDocument(wrapped).toJson(QJsonDocument::Compact);
            job.kept[Utf8(it.key())] = text.mid(1, text.size() - 2).toStdString();
        }
    return job;
}

Job ReadJobFile(const std::string& path) {
    QFile file(Qs(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists()) Refuse("找不到这个文件，它可能已被移动、改名或删除。");
        Refuse("无法读取这个文件：没有读取权限，或它是一个文件夹。");
    }
    if (file.size() > static_cast<qint64>(kMaxJobBytes)) Refuse("文件太大（超过 16 MB），不是本程序保存的作业。");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) Refuse("读取时出错：磁盘或网络驱动器可能已断开。");
    return ReadJob(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string JobOpenFailureText(const std::string& path, const std::string& why) {
    return "作业“" + Utf8(QDir::toNativeSeparators(Qs(path))) + "”没有打开。\n" + why;
}

}  // namespace capbeam
