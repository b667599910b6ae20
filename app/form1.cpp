#include "app/form1.h"

namespace capbeam {

Form1::Form1(QWidget* parent) : QWidget(parent) {}

}  // namespace capbeam
