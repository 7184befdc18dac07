// The whole report program on the recording host, and the same report
// recomputed in plain double arithmetic.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <regex>
#include <string>

#include "mission/report_driver.hpp"
#include "tests/e2e/expected_report.hpp"
#include "tests/fake_host.hpp"
#include "tests/run_under_startup.hpp"

namespace {

using fake::host;

const std::string Prompt{e2e::promptText};
const std::string Report{e2e::reportText};

TEST(Report, ToAFileInBlocksAfterThePrompt) {
  fake::reset();
  host().reads = {"report.txt\r\n"};
  EXPECT_EQ(fake::runUnderStartup(mission::reportDriver), 0);
  EXPECT_EQ(host().openedNames, (std::vector<std::string>{"report.txt"}));
  EXPECT_EQ(fake::writtenTo(fake::OutputHandle), Prompt);
  EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), Report);
  std::vector<std::size_t> fileRequests;
  for (const auto& request : host().writes) {
    if (request.handle == fake::FirstFileHandle) fileRequests.push_back(request.asked.size());
  }
  const std::size_t full = Report.size() / 256;
  EXPECT_EQ(fileRequests.size(), full + 1);
  EXPECT_EQ(fileRequests.back(), Report.size() % 256);
  EXPECT_EQ(host().closed, (std::vector<fake::Handle>{fake::FirstFileHandle}));
}

TEST(Report, ToAConsoleLineByLineAndTheAnglesInTwoHalves) {
  fake::reset();
  host().characterDevices.insert(fake::OutputHandle);
  host().reads = {"\r\n"};
  EXPECT_EQ(fake::runUnderStartup(mission::reportDriver), 0);
  EXPECT_EQ(fake::writtenTo(fake::OutputHandle), Prompt + Report);
  std::vector<std::string> requests;
  for (const auto& request : host().writes) requests.push_back(request.asked);
  EXPECT_NE(std::find(requests.begin(), requests.end(), "Theta = 41.76 degrees, "), requests.end());
  EXPECT_NE(std::find(requests.begin(), requests.end(), "Alpha = 42.60 degrees\r\n"),
            requests.end());
  EXPECT_NE(std::find(requests.begin(), requests.end(), "Lunar speed = 1018 m/s\r\n"),
            requests.end());
}

TEST(Report, FailedOpenEndsWithTheErrorReportBeforeAnyReportByte) {
  fake::reset();
  host().reads = {"missing/report.txt\n"};
  host().openFailure = 3;
  EXPECT_EQ(fake::runUnderStartup(mission::reportDriver), 3);
  const std::string out = fake::writtenTo(fake::OutputHandle);
  ASSERT_EQ(out.rfind(Prompt, 0), 0u);
  const std::regex shape(
      "Runtime error 3 at 0x([0-9A-F]{8})\r\n  0x\\1\r\n  0x[0-9A-F]{8}\r\n\r\n");
  EXPECT_TRUE(std::regex_match(out.substr(Prompt.size()), shape)) << out;
}

// Every hand-over of a run to a file, failed or cut short in turn: the run ends
// with 101 and the file holds exactly what was handed over before.
TEST(Report, EveryFailingHandOverEndsWith101AndKeepsWhatWentBefore) {
  fake::reset();
  host().reads = {"report.txt\n"};
  fake::runUnderStartup(mission::reportDriver);
  const std::size_t requests = host().writes.size();
  ASSERT_GT(requests, 2u);
  for (const bool shortWrite : {false, true}) {
    for (std::size_t k = 0; k < requests; ++k) {
      fake::reset();
      host().reads = {"report.txt\n"};
      (shortWrite ? host().shortWrite : host().failingWrite) = static_cast<int>(k);
      const std::uint16_t code = fake::runUnderStartup(mission::reportDriver);
      const bool emptyRequest = host().writes.size() > k && host().writes[k].asked.empty();
      if (shortWrite && emptyRequest) continue;  // nothing to cut short
      EXPECT_EQ(code, 101) << k;
      std::string before;
      for (std::size_t i = 0; i < k; ++i) {
        if (host().writes[i].handle == fake::FirstFileHandle) before += host().writes[i].asked;
      }
      if (shortWrite && host().writes[k].handle == fake::FirstFileHandle) {
        before += host().writes[k].asked.substr(0, host().writes[k].written);
      }
      EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), before) << k;
      EXPECT_EQ(Report.rfind(before, 0), 0u) << k;
      const std::string out = fake::writtenTo(fake::OutputHandle);
      EXPECT_NE(out.find("Runtime error 101 at 0x"), std::string::npos) << k;
    }
  }
}

TEST(Report, FileTheSystemCannotCompleteEndsWith101) {
  fake::reset();
  host().reads = {"report.txt\n"};
  host().closeFails = true;
  EXPECT_EQ(fake::runUnderStartup(mission::reportDriver), 101);
  EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), Report);
}

// The report recomputed with every formula in plain double arithmetic: a host
// without extended precision prints the same text.
std::string reportInDoubles() {
  const double earthMu = 398600000000000.0, earthRadius = 6371000.0;
  const double moonDistance = 384401000.0, moonMu = 4903000000000.0, moonRadius = 1738000.0;
  const double pi = std::numbers::pi;
  const double inclination = pi * 51.6 / 180;
  const double geoAltitude =
      std::cbrt(std::pow(std::sqrt(earthMu) * 86164 / (2 * pi), 2)) - earthRadius;
  struct Ellipse {
    double first, second, circularFirst, circularSecond;
  };
  const auto ellipse = [&](double a1, double a2) {
    const double r1 = earthRadius + a1, r2 = earthRadius + a2, a = (r1 + r2) / 2;
    return Ellipse{std::sqrt(earthMu * r2 / (a * r1)), std::sqrt(earthMu * r1 / (a * r2)),
                   std::sqrt(earthMu / r1), std::sqrt(earthMu / r2)};
  };
  const auto change = [](double v1, double v2, double angle) {
    return std::sqrt(v1 * v1 + v2 * v2 - 2 * v1 * v2 * std::cos(angle));
  };
  std::string text = "\r\n";
  const auto line = [&](const char* caption, double figure, const char* unit) {
    text += caption + std::to_string(static_cast<long>(std::nearbyint(figure))) + unit + "\r\n";
  };
  line("Geosynchrous altitiude = ", geoAltitude / 1000, " km");
  const Ellipse initial = ellipse(365000, 35989000);
  const Ellipse direct = ellipse(geoAltitude, 35989000);
  const double geoSpeed = direct.circularFirst;
  const double apogeeDeltaV = change(initial.second, direct.second, inclination);
  line("Geosynchronous speed = ", geoSpeed, " m/s");
  line("Initial perigee speed = ", initial.first, " m/s");
  line("Initial apogee speed = ", initial.second, " m/s");
  line("Apogee delta V = ", apogeeDeltaV, " m/s");
  line("Apogee speed = ", direct.second, " m/s");
  line("Perigee speed = ", direct.first, " m/s");
  line("Perigee delta V = ", direct.first - geoSpeed, " m/s");
  line("Toral delta V = ", apogeeDeltaV + direct.first - geoSpeed, " m/s");
  const Ellipse lunar = ellipse(365000, 378030000);
  const double lunarDeltaV = lunar.first - initial.first;
  text += "\r\n";
  line("Lunar speed = ", lunar.circularSecond, " m/s");
  line("Lunar transfer perigee speed = ", lunar.first, " m/s");
  line("Lunar transfer apogee speed = ", lunar.second, " m/s");
  line("Lunar transfer delta V = ", lunarDeltaV, " m/s");
  const Ellipse back = ellipse(geoAltitude, 378030000);
  const double backApogeeDeltaV = change(lunar.second, back.second, inclination);
  text += "\r\n";
  line("Geo transfer perigee speed = ", back.first, " m/s");
  line("Geo transfer apogee speed = ", back.second, " m/s");
  line("Geo transfer apogee delta V (no swingby) = ", backApogeeDeltaV, " m/s");
  line("Geo transfer perigee delta V (no swingby) = ", back.first - geoSpeed, " m/s");
  line("Total delta V (no swingby) = ", lunarDeltaV + backApogeeDeltaV + back.first - geoSpeed,
       " m/s");
  const double moonSpeed = lunar.circularSecond;
  const double relative = change(lunar.second, moonSpeed, inclination);
  const double tangential = std::sqrt((geoAltitude + earthRadius) * earthMu) / moonDistance;
  const double theta = std::acos((moonSpeed - tangential) / relative);
  const double ratio = std::sqrt(
      2 * (1 - (moonSpeed - lunar.second * std::cos(inclination)) * std::cos(theta) / relative));
  const double alpha = 2 * std::asin(ratio / 2);
  const double circular = relative / std::sqrt(1 / std::sin(alpha / 2) - 1);
  text += "\r\n";
  line("Lunar relative speed = ", relative, " m/s");
  line("Lunar delta V (swingby) = ", relative * ratio, " m/s");
  char angles[64];
  static_cast<void>(std::snprintf(angles, sizeof angles,
                                  "Theta = %5.2f degrees, Alpha = %5.2f degrees\r\n",
                                  theta * 180 / pi, alpha * 180 / pi));
  text += angles;
  line("Lunar orbit circular speed = ", circular, " m/s");
  line("Lunar swingby minimum altitude = ", (moonMu / (circular * circular) - moonRadius) / 1000,
       " km");
  const double post = change(relative, moonSpeed, theta);
  const double axis = 1 / (2 / moonDistance - post * post / earthMu);
  const double momentum = (moonSpeed - relative * std::cos(theta)) * moonDistance;
  const double shape = 1 - momentum * momentum / (axis * earthMu);
  const double perigee = (1 - shape) * axis - earthRadius,
               apogee = (1 + shape) * axis - earthRadius;
  const double perigeeSpeed = ellipse(perigee, apogee).first;
  text += "\r\n";
  line("Post swingby speed = ", post, " m/s");
  text += "Post swingby orbit = " + std::to_string(std::lround(perigee / 1000)) + "x" +
          std::to_string(std::lround(apogee / 1000)) + " km\r\n";
  line("Post swingby perigee speed = ", perigeeSpeed, " m/s");
  line("Post swingby perigee delta V = ", perigeeSpeed - geoSpeed, " m/s");
  line("Total delta V (swingby) = ", lunarDeltaV + perigeeSpeed - geoSpeed, " m/s");
  return text;
}

TEST(Report, PlainDoubleArithmeticPrintsTheSameReport) {
  EXPECT_EQ(reportInDoubles(), Report);
}

}  // namespace
