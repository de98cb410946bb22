// What the player's parts share among themselves and nobody else needs.
#pragma once
#include "player.h"

enum : UINT { IpcMessage = WM_USER, TrackEndNotice = WM_USER + 2 };

extern HWND PlayerMain;

// The simulated playlist's answers and reactions.
LRESULT AnswerIpc(WPARAM data, LPARAM code);
void RunCommand(HWND window, WPARAM id);
void TrackEnded();  // the player's own reaction, after any hook has seen the notice
int CurrentLengthMs();

// The log; the window shows each entry as it comes.
void Log(UINT message, WPARAM wParam, LPARAM lParam, LRESULT result);
extern bool NoticeLogged;  // the end-of-track notice on its way was logged when sent

LRESULT AnswerCopyData(const COPYDATASTRUCT* data);  // enqueue by WM_COPYDATA
std::wstring EntryTitle(int index);                 // as the window's playlist shows it
