#pragma once
// Lengths of the printed page. The model, the canvas and the layout text count in
// inches; fonts in points (72 to the inch); the window's fixed margins and scroll
// steps in twips (1440 to the inch); screens and pictures in pixels at their own
// resolution (dots per inch, or per metre as picture files store it). Every
// conversion between them goes through here, so no factor is written twice.
namespace units {

inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kTwipsPerInch = 1440.0;
inline constexpr double kMetresPerInch = 0.0254;

constexpr double InchesToPoints(double inches) {
    return inches * kPointsPerInch;
}
constexpr double PointsToInches(double points) {
    return points / kPointsPerInch;
}
constexpr double InchesToTwips(double inches) {
    return inches * kTwipsPerInch;
}
constexpr double TwipsToInches(double twips) {
    return twips / kTwipsPerInch;
}
constexpr double InchesToPixels(double inches, double dpi) {
    return inches * dpi;
}
constexpr double PixelsToInches(double pixels, double dpi) {
    return pixels / dpi;
}
constexpr double TwipsToPixels(double twips, double dpi) {
    return InchesToPixels(TwipsToInches(twips), dpi);
}
constexpr double DotsPerMetreToDpi(double dotsPerMetre) {
    return dotsPerMetre * kMetresPerInch;
}
constexpr double DpiToDotsPerMetre(double dpi) {
    return dpi / kMetresPerInch;
}
// The size to give a font of `points` when the painter counts one unit per point on a
// device of deviceDpi (the device scales the font once more), so that it comes out
// true to size on paper.
constexpr double FontSizeOnPointScale(double points, double deviceDpi) {
    return points * kPointsPerInch / deviceDpi;
}

}  // namespace units
