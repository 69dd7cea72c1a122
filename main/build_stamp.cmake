string(TIMESTAMP stamp_date "%Y%m%d")
string(TIMESTAMP stamp_h "%H")
string(TIMESTAMP stamp_m "%M")
string(TIMESTAMP stamp_s "%S")
math(EXPR stamp_time "${stamp_h} * 3600 + ${stamp_m} * 60 + ${stamp_s}")
# Leading zeros would read as octal in C++.
math(EXPR stamp_date "${stamp_date} + 0")
file(WRITE ${OUT} "#pragma once\n// Written at build time.\nconstexpr int kBuildDate = ${stamp_date};\nconstexpr int kBuildTime = ${stamp_time};\n")
