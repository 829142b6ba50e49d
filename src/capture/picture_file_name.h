#pragma once

#include <ctime>
#include <string>

namespace zub {

// The folder, beside the program, that captured pictures are saved in.
// UTF-8 whatever the system's code page, as a path takes it.
inline constexpr const char8_t* kPictureFolderName = u8"Zub图像";

// The name a picture captured at `local` is saved under: "m月d日h时mm分ss秒.bmp" (month, day
// and hour without a leading zero, minutes and seconds with one), in UTF-8. There is no year,
// so one file is kept per second of a day of the year; people and scripts may rely on that.
std::string pictureFileName(const std::tm& local);

} // namespace zub
