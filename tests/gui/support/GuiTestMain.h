#pragma once

#include <QApplication>
#include <QString>
#include <QTest>

namespace cq::test {

// Gives the test process its own HOME, XDG folders, TMPDIR and language file, so neither the
// settings store nor the shipped "Languages.ini" is ever touched. Call before QApplication exists.
void IsolateGuiTest();

// The isolated home folder of this test process.
QString TestHome();

// The language file the test process uses (in its home); tests may rewrite it.
QString TestLanguageFile();

// Reopens the language file from the given UTF-8 text (windows-1251 content goes as bytes).
void WriteLanguageFile(const QByteArray& content);

template <typename TestClass>
int RunGuiTest(int argc, char** argv) {
  IsolateGuiTest();
  QApplication app(argc, argv);
  TestClass test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace cq::test

#define CQ_GUI_TEST_MAIN(TestClass)                     \
  int main(int argc, char** argv) {                     \
    return cq::test::RunGuiTest<TestClass>(argc, argv); \
  }
