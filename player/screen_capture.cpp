#include "screen_capture.h"

#include <stdio.h>

// Copies each window's area of the screen, where the frame is too (a window's own device
// context leaves it out), onto one canvas. Under Wine without a window manager the screen
// stacks the foreground window over topmost ones: a window behind it is captured covered.
struct Canvas {
  HDC dc = NULL;
  HBITMAP bitmap = NULL;
  HGDIOBJ old = NULL;
  void* bits = nullptr;
  BITMAPINFO info = {};
};

static bool OpenCanvas(Canvas* c, int width, int height) {
  c->info.bmiHeader.biSize = sizeof c->info.bmiHeader;
  c->info.bmiHeader.biWidth = width;
  c->info.bmiHeader.biHeight = height;  // bottom-up, as .bmp files store rows
  c->info.bmiHeader.biPlanes = 1;
  c->info.bmiHeader.biBitCount = 24;
  c->info.bmiHeader.biCompression = BI_RGB;
  c->dc = CreateCompatibleDC(NULL);
  c->bitmap = CreateDIBSection(c->dc, &c->info, DIB_RGB_COLORS, &c->bits, NULL, 0);
  if (!c->bitmap) return false;
  c->old = SelectObject(c->dc, c->bitmap);
  RECT all = {0, 0, width, height};
  FillRect(c->dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  return true;
}

static void CloseCanvas(Canvas* c) {
  if (c->old) SelectObject(c->dc, c->old);
  if (c->bitmap) DeleteObject(c->bitmap);
  if (c->dc) DeleteDC(c->dc);
}

static bool WriteBmp(const Canvas& c, const std::string& path) {
  int width = c.info.bmiHeader.biWidth, height = c.info.bmiHeader.biHeight;
  DWORD stride = (width * 3 + 3) & ~3u;
  BITMAPINFOHEADER header = c.info.bmiHeader;
  header.biSizeImage = stride * height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4d42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  FILE* out = fopen(path.c_str(), "wb");
  if (!out) return false;
  bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&header, sizeof header, 1, out) == 1 &&
                 fwrite(c.bits, header.biSizeImage, 1, out) == 1;
  return fclose(out) == 0 && written;
}

// Paints what is pending, then copies the whole window, frame included, onto the canvas.
static bool CopyWindow(const Canvas& c, HWND window, const RECT& area) {
  RedrawWindow(window, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r;
  GetWindowRect(window, &r);
  HDC dc = GetDC(NULL);
  bool copied = BitBlt(c.dc, r.left - area.left, r.top - area.top, r.right - r.left,
                       r.bottom - r.top, dc, r.left, r.top, SRCCOPY) != 0;
  ReleaseDC(NULL, dc);
  return copied;
}

bool SaveWindowImage(HWND window, HWND also, const std::string& path) {
  RECT area, other;
  if (!GetWindowRect(window, &area)) return false;
  if (also && GetWindowRect(also, &other)) UnionRect(&area, &area, &other);
  Canvas canvas;
  bool saved = OpenCanvas(&canvas, area.right - area.left, area.bottom - area.top) &&
               CopyWindow(canvas, window, area) && (!also || CopyWindow(canvas, also, area));
  GdiFlush();
  saved = saved && WriteBmp(canvas, path);
  CloseCanvas(&canvas);
  return saved;
}
