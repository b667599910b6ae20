#include "records/landxml.h"

#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/failure.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

constexpr std::size_t kMaxBytes = 16 << 20;
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxElements = 5000;
constexpr double kValueLimit = 1e8;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
constexpr double kGap = 1e-3;                   // metres
constexpr double kKink = 1.0 / 3600 * kDegree;  // one second, in radians

struct Point {
    double X = 0, Y = 0;
};

// One geometry element as the file gives it, before it is checked.
struct Raw {
    enum class Kind { Line, Curve, Spiral } kind = Kind::Line;
    std::string label;  // "第 3 个线元（Curve）" for messages
    std::optional<Point> start, end, center, pi;
    int rot = 0;        // +1 cw (right), -1 ccw (left), 0 not given
    double length = 0;
    double radiusStart = 0, radiusEnd = 0;  // 0 stands for INF
};

[[noreturn]] void Refuse(const std::string& why) { throw Failure(ErrorKind::OutOfRange, "LandXML 文件：" + why); }

double Number(const QString& text, const std::string& what) {
    double v = 0;
    try {
        v = ReadDouble(text.toStdString());
    } catch (const Failure& f) {
        Refuse(what + "：" + f.message().text);
    }
    if (!(std::fabs(v) <= kValueLimit)) Refuse(what + "超出了可以计算的范围（绝对值不超过 1 亿米）。");
    return v;
}

// A radius attribute: "INF" (any case) or absent for no curvature.
double Radius(const QXmlStreamAttributes& a, const char* name, const std::string& who) {
    const QString text = a.value(QLatin1String(name)).toString().trimmed();
    if (text.isEmpty() || text.compare(QLatin1String("INF"), Qt::CaseInsensitive) == 0) return 0;
    const double r = Number(text, who + " 的 " + name);
    if (!(r > 0)) Refuse(who + " 的 " + name + " 必须大于 0（直线端写 INF）。");
    return r;
}

Point ReadPoint(const QString& text, const std::string& what) {
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    if (parts.size() < 2 || parts.size() > 3) Refuse(what + " 的坐标应为“北坐标 东坐标 [高程]”。");
    return {Number(parts[0], what), Number(parts[1], what)};
}

double Azimuth(Point from, Point to) { return std::atan2(to.Y - from.Y, to.X - from.X); }
double Distance(Point a, Point b) { return std::hypot(b.X - a.X, b.Y - a.Y); }

// The curvatures, length and start azimuth (radians) of a checked element.
struct Shape {
    Element element;
    double azimuth = 0;
};

Shape ShapeOf(const Raw& r) {
    if (!r.start) Refuse(r.label + "没有 Start 点。");
    switch (r.kind) {
    case Raw::Kind::Line: {
        if (!r.end) Refuse(r.label + "没有 End 点。");
        const double L = Distance(*r.start, *r.end);
        if (!(L > 0)) Refuse(r.label + "的起点和终点重合。");
        return {{L, 0, 0}, Azimuth(*r.start, *r.end)};
    }
    case Raw::Kind::Curve: {
        if (!r.end || !r.center) Refuse(r.label + "要有 Start、Center、End 三个点。");
        if (r.rot == 0) Refuse(r.label + "没有注明转向 rot（cw 或 ccw）。");
        const double R = Distance(*r.center, *r.start);
        if (!(R > 0)) Refuse(r.label + "的圆心与起点重合。");
        if (std::fabs(Distance(*r.center, *r.end) - R) > kGap)
            Refuse(r.label + "的终点到圆心的距离与半径相差超过 1 毫米。");
        // The angle swept from Start to End about Center the way rot turns,
        // in (0, 2π]: clockwise is the growing azimuth.
        double sweep = r.rot * (Azimuth(*r.center, *r.end) - Azimuth(*r.center, *r.start));
        sweep = std::fmod(sweep, 2 * kPi);
        if (sweep <= 0) sweep += 2 * kPi;
        const double k = r.rot / R;
        return {{R * sweep, k, k}, Azimuth(*r.center, *r.start) + r.rot * kPi / 2};
    }
    case Raw::Kind::Spiral: {
        if (!r.pi) Refuse(r.label + "没有 PI 点，无法确定起点切线方向。");
        if (r.rot == 0) Refuse(r.label + "没有注明转向 rot（cw 或 ccw）。");
        if (!(r.length > 0)) Refuse(r.label + "的长度 length 必须大于 0。");
        const double k0 = r.radiusStart > 0 ? r.rot / r.radiusStart : 0;
        const double k1 = r.radiusEnd > 0 ? r.rot / r.radiusEnd : 0;
        if (k0 == k1) Refuse(r.label + "的起点半径和终点半径相同，不是缓和曲线。");
        return {{r.length, k0, k1}, Azimuth(*r.start, *r.pi)};
    }
    }
    return {};
}

// Gaps and kinks: each element starts where and how the chain so far ends,
// and the last one ends at its End point.
void CheckJoints(const std::vector<Raw>& raws, const std::vector<Shape>& shapes, const Alignment& line) {
    for (std::size_t i = 0; i < raws.size(); ++i) {
        const Station at = line.At(line.ElementStart(i));
        if (i > 0) {
            const double gap = Distance({at.X, at.Y}, *raws[i].start);
            if (gap > kGap)
                Refuse(raws[i].label + "的起点与前一线元的终点相距 " + NumberText(Round3(gap)) +
                       " 米（超过 1 毫米）。请检查文件中的线元是否连续。");
            const double kink = std::fabs(std::remainder(at.azimuth * kDegree - shapes[i].azimuth, 2 * kPi));
            if (kink > kKink)
                Refuse(raws[i].label + "与前一线元的切线方向相差 " + NumberText(Round3(kink / kDegree * 3600)) +
                       "″（超过 1″）。请检查文件中的线元是否相切。");
        }
    }
    const Raw& last = raws.back();
    if (last.end) {
        const Station end = line.At(line.EndDistance());
        const double gap = Distance({end.X, end.Y}, *last.end);
        if (gap > kGap)
            Refuse(last.label + "的终点与按长度和半径推算的终点相距 " + NumberText(Round3(gap)) +
                   " 米（超过 1 毫米）。请检查该线元。");
    }
}

class Reader {
public:
    explicit Reader(std::string_view bytes) : xml_(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))) {}

    std::vector<LandXmlAlignment> Read() {
        std::vector<LandXmlAlignment> result;
        while (Next()) {
            if (xml_.isStartElement() && xml_.name() == QLatin1String("Alignment")) {
                std::optional<LandXmlAlignment> a = ReadAlignment();
                if (a) result.push_back(std::move(*a));
            }
        }
        if (result.empty()) Refuse("文件中没有含平面线形（CoordGeom）的 Alignment。请检查导出设置。");
        return result;
    }

private:
    // The next token; refuses DTDs, too deep nesting and broken XML.
    bool Next() {
        xml_.readNext();
        if (xml_.tokenType() == QXmlStreamReader::DTD) Refuse("文件含有 DTD（实体定义），为安全起见不予读取。请删除 DOCTYPE 一段后再导入。");
        if (xml_.isStartElement() && ++depth_ > kMaxDepth) Refuse("元素嵌套超过 64 层，不是一个正常的 LandXML 文件。");
        if (xml_.isEndElement()) --depth_;
        if (xml_.hasError())
            Refuse("不是格式正确的 XML（第 " + std::to_string(xml_.lineNumber()) + " 行：" +
                   xml_.errorString().toStdString() + "）。");
        return !xml_.atEnd();
    }

    std::string ElementName() const { return xml_.name().toString().toStdString(); }

    // Inside an element: the text of its children named Start, End, Center
    // and PI, until its end tag.
    void ReadPoints(Raw& raw) {
        const int depth = depth_;
        while (Next()) {
            if (xml_.isEndElement() && depth_ < depth) return;
            if (!xml_.isStartElement()) continue;
            const QString tag = xml_.name().toString();
            std::optional<Point>* slot = tag == QLatin1String("Start")    ? &raw.start
                                         : tag == QLatin1String("End")    ? &raw.end
                                         : tag == QLatin1String("Center") ? &raw.center
                                         : tag == QLatin1String("PI")     ? &raw.pi
                                                                          : nullptr;
            if (!slot) continue;
            const std::string what = raw.label + "的 " + tag.toStdString() + " 点";
            const QString text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
            --depth_;  // readElementText consumed the end tag
            if (xml_.hasError()) Refuse("不是格式正确的 XML：" + xml_.errorString().toStdString());
            *slot = ReadPoint(text, what);
        }
    }

    std::optional<LandXmlAlignment> ReadAlignment() {
        LandXmlAlignment a;
        const QXmlStreamAttributes attributes = xml_.attributes();
        a.name = attributes.value(QLatin1String("name")).toString().toStdString();
        const QString staStart = attributes.value(QLatin1String("staStart")).toString();
        a.start.distance = staStart.isEmpty() ? 0 : Number(staStart, "Alignment " + a.name + " 的 staStart");
        std::vector<Raw> raws;
        struct Equation {
            ChainageEquation eq;
            std::optional<double> internal;
        };
        std::vector<Equation> equations;
        bool geometry = false;
        const int depth = depth_;
        while (Next()) {
            if (xml_.isEndElement() && depth_ < depth) break;
            if (!xml_.isStartElement()) continue;
            const QString tag = xml_.name().toString();
            const QXmlStreamAttributes at = xml_.attributes();
            if (tag == QLatin1String("CoordGeom")) {
                geometry = true;
            } else if (tag == QLatin1String("StaEquation")) {
                const std::string who = "Alignment " + a.name + " 的第 " + std::to_string(equations.size() + 1) + " 个 StaEquation";
                Equation e{{Number(at.value(QLatin1String("staBack")).toString(), who + " 的 staBack"),
                            Number(at.value(QLatin1String("staAhead")).toString(), who + " 的 staAhead")},
                           std::nullopt};
                if (at.hasAttribute(QLatin1String("staInternal")))
                    e.internal = Number(at.value(QLatin1String("staInternal")).toString(), who + " 的 staInternal");
                equations.push_back(e);
            } else if (tag == QLatin1String("Line") || tag == QLatin1String("Curve") || tag == QLatin1String("Spiral")) {
                if (raws.size() >= kMaxElements) Refuse("线元超过 5000 个，不是一条路线。");
                Raw raw;
                raw.label = "Alignment " + a.name + " 的第 " + std::to_string(raws.size() + 1) + " 个线元（" +
                            tag.toStdString() + "）";
                raw.kind = tag == QLatin1String("Line")    ? Raw::Kind::Line
                           : tag == QLatin1String("Curve") ? Raw::Kind::Curve
                                                           : Raw::Kind::Spiral;
                const QString rot = at.value(QLatin1String("rot")).toString();
                raw.rot = rot == QLatin1String("cw") ? 1 : rot == QLatin1String("ccw") ? -1 : 0;
                if (raw.kind == Raw::Kind::Spiral) {
                    const QString type = at.value(QLatin1String("spiType")).toString();
                    if (!type.isEmpty() && type != QLatin1String("clothoid"))
                        Refuse(raw.label + "是 " + type.toStdString() + " 型缓和曲线，本程序只计算回旋线（clothoid）。");
                    raw.length = Number(at.value(QLatin1String("length")).toString(), raw.label + "的 length");
                    raw.radiusStart = Radius(at, "radiusStart", raw.label);
                    raw.radiusEnd = Radius(at, "radiusEnd", raw.label);
                }
                ReadPoints(raw);
                raws.push_back(std::move(raw));
            }
        }
        if (!geometry || raws.empty()) return std::nullopt;

        std::vector<Shape> shapes;
        std::vector<Element> elements;
        for (const Raw& r : raws) {
            shapes.push_back(ShapeOf(r));
            elements.push_back(shapes.back().element);
        }
        a.start.X = raws.front().start->X;
        a.start.Y = raws.front().start->Y;
        a.start.azimuth = shapes.front().azimuth / kDegree;
        a.elements = elements;
        const Alignment line(a.start, elements);
        CheckJoints(raws, shapes, line);

        // Equations in road order; where the file gives the internal
        // station (the distance), it must be where the back chainage puts it.
        if (std::all_of(equations.begin(), equations.end(), [](const Equation& e) { return e.internal.has_value(); }))
            std::stable_sort(equations.begin(), equations.end(),
                             [](const Equation& x, const Equation& y) { return *x.internal < *y.internal; });
        for (const Equation& e : equations) a.equations.push_back(e.eq);
        const ChainageEquations chain(a.start.distance, a.equations);
        for (std::size_t i = 0; i < equations.size(); ++i)
            if (equations[i].internal && std::fabs(*equations[i].internal - chain.EquationDistance(i)) > kGap)
                Refuse("Alignment " + a.name + " 的断链（StaEquation staBack " + NumberText(equations[i].eq.back) +
                       "）的 staInternal 与按桩号推算的位置不符。请检查断链。");
        return a;
    }

    QXmlStreamReader xml_;
    int depth_ = 0;
};

}  // namespace

std::vector<LandXmlAlignment> ReadLandXml(std::string_view bytes) {
    if (bytes.size() > kMaxBytes) Refuse("文件太大（超过 16 MB），不是一个路线文件。请检查选择的文件。");
    return Reader(bytes).Read();
}

}  // namespace capbeam
