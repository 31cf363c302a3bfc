/* Benchmark tooling, not part of the program: a native PLplot program that
 * draws the application's graph (seven curves of 201 points from
 * Kestrow_splines.txt, axes 0..2.5 by 0..1, labels "X" and "T", title
 * "Splines", legend T1..T7, knot markers at 0, 0.625, 1.25, 1.875 and 2.5)
 * REPEATS times into one file per device (psc, svg), each graph its own
 * plinit .. plend, and prints the milliseconds per graph as
 *   bench plplot-<device> <ms>
 * Usage: plplot_graph DATAFILE OUTPUTFOLDER [REPEATS]
 * Built and run by bench/plot_file_bench.sh. */
#define _POSIX_C_SOURCE 199309L
#include <plplot/plplot.h>

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#define POINTS 201
#define CURVES 7

static PLFLT xs[POINTS];
static PLFLT ys[CURVES][POINTS];

/* The curve colours of the application (colour numbers 19, 51, 83, 115, 147,
 * 179 and 223 of its colour table). */
static const int colours[CURVES][3] = {
    {207, 0, 0}, {207, 207, 0}, {0, 207, 0}, {0, 207, 207}, {0, 0, 207}, {207, 0, 207}, {0, 0, 0},
};

static int ReadData(const char* path)
{
    FILE* f = fopen(path, "r");
    if (!f)
        return 0;
    int n = 0;
    double v[CURVES + 2];
    while (n < POINTS && fscanf(f, "%lf %lf %lf %lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                                &v[6], &v[7], &v[8]) == 9) {
        xs[n] = v[0];
        for (int k = 0; k < CURVES; ++k)
            ys[k][n] = v[k + 1];
        ++n;
    }
    fclose(f);
    return n == POINTS;
}

static void Graph(const char* device, const char* file)
{
    plsdev(device);
    plsfnam(file);
    plscolbg(255, 255, 255);
    plscol0(15, 0, 0, 0);
    for (int k = 0; k < CURVES; ++k)
        plscol0(k + 1, colours[k][0], colours[k][1], colours[k][2]);
    plinit();
    plcol0(15);
    plenv(0.0, 2.5, 0.0, 1.0, 0, 0);
    pllab("X", "T", "Splines");
    plwidth(2.0);
    for (int k = 0; k < CURVES; ++k) {
        plcol0(k + 1);
        plline(POINTS, xs, ys[k]);
    }
    plwidth(1.0);

    PLINT opts[CURVES], textColours[CURVES], lineColours[CURVES], lineStyles[CURVES];
    PLFLT lineWidths[CURVES];
    const char* texts[CURVES] = {"T1", "T2", "T3", "T4", "T5", "T6", "T7"};
    for (int k = 0; k < CURVES; ++k) {
        opts[k] = PL_LEGEND_LINE;
        textColours[k] = 15;
        lineColours[k] = k + 1;
        lineStyles[k] = 1;
        lineWidths[k] = 1.0;
    }
    PLFLT width = 0.0, height = 0.0;
    pllegend(&width, &height, 0, PL_POSITION_RIGHT | PL_POSITION_OUTSIDE, 0.0, 0.0, 0.05, 0, 15, 1, 0, 0, CURVES,
             opts, 0.5, 1.0, 2.0, 0.0, textColours, texts, NULL, NULL, NULL, NULL, lineColours, lineStyles,
             lineWidths, NULL, NULL, NULL, NULL);

    PLFLT knotsX[5] = {0.0, 0.625, 1.25, 1.875, 2.5}, knotsY[5] = {0.0, 0.0, 0.0, 0.0, 0.0};
    plcol0(15);
    plssym(0.0, 2.0);
    plpoin(5, knotsX, knotsY, 17);
    plssym(0.0, 1.0);
    plend();
}

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1000.0 + (double)t.tv_nsec / 1.0e6;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s DATAFILE OUTPUTFOLDER [REPEATS]\n", argv[0]);
        return 2;
    }
    if (!ReadData(argv[1])) {
        fprintf(stderr, "%s: cannot read %d points from %s\n", argv[0], POINTS, argv[1]);
        return 1;
    }
    const int repeats = argc > 3 ? atoi(argv[3]) : 100;
    const char* devices[2][2] = {{"psc", "plplot.ps"}, {"svg", "plplot.svg"}};
    for (int d = 0; d < 2; ++d) {
        char file[4096];
        snprintf(file, sizeof file, "%s/%s", argv[2], devices[d][1]);
        Graph(devices[d][0], file); /* warm-up */
        const double start = Now();
        for (int i = 0; i < repeats; ++i)
            Graph(devices[d][0], file);
        printf("bench plplot-%s %.3f\n", devices[d][0], (Now() - start) / (repeats > 0 ? repeats : 1));
    }
    return 0;
}
