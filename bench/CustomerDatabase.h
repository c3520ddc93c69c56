#pragma once

#include <QString>

#include <functional>

// A customer database with the demo database's tables (Unit, BillIndex) for the benchmarks
// that drive the built program. Customer i (from 1) gets the fixed-line number phoneOf(i)
// and the mobile number mobileOf(i).
QString mobileOf(int i);
void writeCustomerDatabase(const QString& file, int count, const std::function<QString(int)>& phoneOf);
