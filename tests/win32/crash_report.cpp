#include "crash_report.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>

static std::function<std::string()> Note;

void SetCrashNote(std::function<std::string()> note) { Note = std::move(note); }

static LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  fprintf(stderr, "crash: exception 0x%08lx at %p in %s.%s%s%s\n",
          static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
          exception->ExceptionRecord->ExceptionAddress, test ? test->test_suite_name() : "?",
          test ? test->name() : "?", Note ? ", " : "", Note ? Note().c_str() : "");
  fflush(stderr);
  fflush(stdout);
  return EXCEPTION_EXECUTE_HANDLER;  // ends the process with the exception's code
}

// Installed before main: no test can run without it.
static const bool Installed = (SetUnhandledExceptionFilter(ReportCrash), true);
