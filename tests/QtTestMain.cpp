// One QApplication for the whole run, made before any widget, gone before exit handlers.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>

int main(int argc, char** argv) {
    // A screen as large as a desk's, so that every window fits on it to be clicked.
    const std::string config = ::testing::TempDir() + "fd_desk_screen.json";
    std::ofstream(config) << R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1920,
                               "height": 1200, "logicalDpi": 96}]})";
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str());
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
