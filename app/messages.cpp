#include "app/messages.h"

namespace capbeam {

std::string_view KindTitle(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::TypeMismatch: return "输入的不是数字";
        case ErrorKind::Overflow: return "数值溢出";
        case ErrorKind::OutOfRange: return "数值不符合要求";
        case ErrorKind::DivisionByZero: return "除数为零";
        case ErrorKind::InvalidOperation: return "无效的运算";
        case ErrorKind::Geometry: return "几何条件不成立";
        case ErrorKind::NoCurve: return "尚未输入平曲线";
        case ErrorKind::Warning: return "请注意";
    }
    return "错误";
}

}  // namespace capbeam
