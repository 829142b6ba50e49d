#include "capture/picture_file_name.h"

#include <cstdio>

namespace zub {

std::string pictureFileName(const std::tm& local) {
    char name[64];
    std::snprintf(name, sizeof name, "%d月%d日%d时%02d分%02d秒.bmp", local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec);
    return name;
}

} // namespace zub
