#include "records/dxf_gbk.h"

#include <QList>
#include <QString>
#include <QStringEncoder>

namespace capbeam {

namespace {

std::string Gbk(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QStringEncoder whole("GBK");
    const QByteArray bytes = whole(text);
    if (!whole.hasError()) return bytes.toStdString();
    // One character at a time, so that only those GBK lacks are escaped.
    std::string out;
    for (const uint c : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        QStringEncoder encoder("GBK");
        const QByteArray b = encoder(one);
        if (!encoder.hasError()) {
            out += b.toStdString();
        } else if (c <= 0xFFFF) {
            out += QStringLiteral("\\U+%1").arg(c, 4, 16, QLatin1Char('0')).toUpper().toStdString();
        } else {
            out += '?';  // beyond AutoCAD's four-digit escape
        }
    }
    return out;
}

}  // namespace

DxfCodePage GbkCodePage() { return {"ANSI_936", Gbk}; }

}  // namespace capbeam
