#pragma once
// The bytes the program writes: the prompt it starts with and the report.
// Every figure is built in, so the report is the same on every run.

#include <string_view>

namespace e2e {

// What standard output receives before the reply is read: an empty line and
// the question, with no line end after it.
inline constexpr std::string_view promptText =
    "\r\n"
    "Enter output filename (return is standard output): ";

// The whole report, 33 lines, each ended by CR LF, the first one empty.  The
// misspelt captions are the program's own and must not be corrected.
inline constexpr std::string_view reportText =
    "\r\n"
    "Geosynchrous altitiude = 35793 km\r\n"
    "Geosynchronous speed = 3075 m/s\r\n"
    "Initial perigee speed = 10105 m/s\r\n"
    "Initial apogee speed = 1607 m/s\r\n"
    "Apogee delta V = 2419 m/s\r\n"
    "Apogee speed = 3064 m/s\r\n"
    "Perigee speed = 3078 m/s\r\n"
    "Perigee delta V = 4 m/s\r\n"
    "Toral delta V = 2423 m/s\r\n"
    "\r\n"
    "Lunar speed = 1018 m/s\r\n"
    "Lunar transfer perigee speed = 10785 m/s\r\n"
    "Lunar transfer apogee speed = 189 m/s\r\n"
    "Lunar transfer delta V = 680 m/s\r\n"
    "\r\n"
    "Geo transfer perigee speed = 4128 m/s\r\n"
    "Geo transfer apogee speed = 453 m/s\r\n"
    "Geo transfer apogee delta V (no swingby) = 367 m/s\r\n"
    "Geo transfer perigee delta V (no swingby) = 1053 m/s\r\n"
    "Total delta V (no swingby) = 2099 m/s\r\n"
    "\r\n"
    "Lunar relative speed = 913 m/s\r\n"
    "Lunar delta V (swingby) = 663 m/s\r\n"
    "Theta = 41.76 degrees, Alpha = 42.60 degrees\r\n"
    "Lunar orbit circular speed = 690 m/s\r\n"
    "Lunar swingby minimum altitude = 8571 km\r\n"
    "\r\n"
    "Post swingby speed = 695 m/s\r\n"
    "Post swingby orbit = 35793x452728 km\r\n"
    "Post swingby perigee speed = 4161 m/s\r\n"
    "Post swingby perigee delta V = 1087 m/s\r\n"
    "Total delta V (swingby) = 1766 m/s\r\n";

}  // namespace e2e
