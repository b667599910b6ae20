#include "core/arithmetic.h"

#include <cmath>
#include <string>

#include "core/failure.h"

namespace capbeam {

double Finite(double value, std::string_view what) {
    if (std::isinf(value))
        throw Failure(ErrorKind::Overflow, "计算" + std::string(what) +
                                               "时数值溢出，超出了可以计算的范围。请检查输入的数值是否过大。");
    if (std::isnan(value))
        throw Failure(ErrorKind::InvalidOperation,
                      "计算" + std::string(what) + "时得到的不是一个有限的数，无法得出结果。请检查输入的数值。");
    return value;
}

double Quotient(double a, double b, std::string_view what) {
    if (b == 0)
        throw Failure(ErrorKind::DivisionByZero,
                      "计算" + std::string(what) + "时遇到除数为零，无法得出结果。请检查输入的数值。");
    return Finite(a / b, what);
}

}  // namespace capbeam
