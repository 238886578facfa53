// The GUI tests' entry point: one application object for every test.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Orbelin");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
