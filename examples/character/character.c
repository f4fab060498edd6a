/* Recognizes one handwritten character given as strokes on the command line, through
 * the recognition service:
 *     tessera-character "10,100 100,100 190,100" ["x,y x,y ..." ...]
 * One argument per stroke in writing order, its points "x,y" separated by blanks, in
 * pixels, y downwards. Prints up to ten candidates, best first, one a line: the
 * character (UTF-8) and its score. Exit status 0 when something was read, 1 when not,
 * 2 for bad arguments or when the service does not open.
 *
 * Build with pkg-config:  cc character.c $(pkg-config --cflags --libs tessera)
 */
#include <tessera/veltarec.h>

#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { MAX_POINTS = 4096, CANDIDATES = 10 };

/* Appends the points of one stroke argument; 0 when it is not a list of "x,y". */
static int read_stroke(const char* text, POINT_W* points, int* count) {
    const int first = *count;
    for (;;) {
        while (*text == ' ') ++text;
        if (*text == '\0') break;
        char* end = NULL;
        const long x = strtol(text, &end, 10);
        if (end == text || *end != ',') return 0;
        text = end + 1;
        const long y = strtol(text, &end, 10);
        if (end == text || (*end != ' ' && *end != '\0')) return 0;
        text = end;
        if (x < -32768 || x > 32767 || y < -32768 || y > 32767 || *count == MAX_POINTS) return 0;
        points[*count].x = (int16_t)x;
        points[*count].y = (int16_t)y;
        points[*count].attr = 0;
        ++*count;
    }
    if (*count == first) return 0;
    points[first].attr |= PT_PENDOWN;
    points[*count - 1].attr |= PT_PENUP;
    return 1;
}

/* The UTF-8 text of a candidate's Shift-JIS code. */
static void code_text(uint32_t code, char* out, size_t size) {
    char sjis[2];
    size_t in_left = 0;
    if (code > 0xFF) {
        sjis[0] = (char)(code >> 8);
        sjis[1] = (char)(code & 0xFF);
        in_left = 2;
    } else {
        sjis[0] = (char)code;
        in_left = 1;
    }
    char* in = sjis;
    size_t out_left = size - 1;
    char* next = out;
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == (iconv_t)-1 || iconv(cd, &in, &in_left, &next, &out_left) == (size_t)-1)
        next = out + snprintf(out, size, "0x%04X", (unsigned)code);
    if (cd != (iconv_t)-1) iconv_close(cd);
    *next = '\0';
}

int main(int argc, char** argv) {
    static POINT_W points[MAX_POINTS];
    int count = 0;
    if (argc < 2) {
        fprintf(stderr, "usage: %s \"x,y x,y ...\" [\"x,y ...\" ...] (one argument a stroke)\n",
                argv[0]);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (!read_stroke(argv[i], points, &count)) {
            fprintf(stderr, "stroke %d is not a list of x,y points (-32768..32767)\n", i);
            return 2;
        }
    }
    if (OpenDictionary() != 1) {
        fprintf(stderr, "the recognition service did not open (VELTAREC.INI or a dictionary)\n");
        return 2;
    }

    /* The writing box: the ink's bounding box, its (right, bottom) corner first. */
    int32_t minx = points[0].x, miny = points[0].y, maxx = minx, maxy = miny;
    for (int i = 1; i < count; ++i) {
        if (points[i].x < minx) minx = points[i].x;
        if (points[i].x > maxx) maxx = points[i].x;
        if (points[i].y < miny) miny = points[i].y;
        if (points[i].y > maxy) maxy = points[i].y;
    }
    SetGuideBox(maxx, maxy, minx, miny);

    PATTERN_W pattern = {points, count};
    CR_RESULT results[CANDIDATES];
    memset(results, 0, sizeof results);
    int found = 0;
    if (RecognizeF(&pattern, results, CANDIDATES) == 0) {
        for (int i = 0; i < CANDIDATES && results[i].score > 0; ++i, ++found) {
            char text[16];
            code_text(results[i].code, text, sizeof text);
            printf("%s %d\n", text, (int)results[i].score);
        }
    }
    CloseDictionary();
    return found > 0 ? 0 : 1;
}
