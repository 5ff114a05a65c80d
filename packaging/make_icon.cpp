// Makes the header that gives the game its window icon: make_icon OUTPUT
// PNG... writes the pixels of each PNG (renderings of varnel.svg at the
// sizes a desktop asks for) as an RGBA array, and a table of them all.
#include <FL/Fl_PNG_Image.H>
#include <cstdio>

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: make_icon OUTPUT.h ICON.png...\n");
    return 2;
  }
  FILE *out = fopen(argv[1], "w");
  if (!out) {
    fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  fprintf(out, "// Made by make_icon from renderings of packaging/varnel.svg.\n"
               "struct IconPixels {\n  int w, h;\n  const unsigned char *rgba;\n};\n");
  for (int i = 2; i < argc; i++) {
    Fl_PNG_Image png(argv[i]);
    if (png.fail() || png.d() != 4 || png.count() != 1) {
      fprintf(stderr, "make_icon: %s is not an RGBA PNG image\n", argv[i]);
      fclose(out);
      return 1;
    }
    int stride = png.ld() ? png.ld() : png.w() * 4;
    const unsigned char *rows = (const unsigned char *)png.data()[0];
    fprintf(out, "static const unsigned char icon_pixels_%d[] = {", i - 2);
    for (int y = 0; y < png.h(); y++)
      for (int x = 0; x < png.w() * 4; x++)
        fprintf(out, "%s%d,", x % 16 ? "" : "\n", rows[y * stride + x]);
    fprintf(out, "};\n");
  }
  fprintf(out, "static const IconPixels icon_pixels[] = {\n");
  for (int i = 2; i < argc; i++) {
    Fl_PNG_Image png(argv[i]);
    fprintf(out, "    {%d, %d, icon_pixels_%d},\n", png.w(), png.h(), i - 2);
  }
  fprintf(out, "};\n");
  return fclose(out) == 0 ? 0 : 1;
}
