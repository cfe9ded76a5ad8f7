/* velun-test-window WIDTH HEIGHT [X Y]
 *
 * Stands in for the window that XScreenSaver hands a display mode: maps a plain
 * top-level window of the given size, filled with a dark blue that a display mode
 * is expected to paint over, prints its id ("0x..." and a line feed) once it is
 * mapped, and keeps it until its standard input closes or a signal ends it.
 */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static int parse_size(const char *text, int low)
{
    char *end;
    long value = strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || value < low || value > 32767) {
        fprintf(stderr, "velun-test-window: bad number '%s'\n", text);
        exit(2);
    }
    return (int)value;
}

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 5) {
        fprintf(stderr, "usage: velun-test-window WIDTH HEIGHT [X Y]\n");
        return 2;
    }
    int width = parse_size(argv[1], 1), height = parse_size(argv[2], 1);
    int x = argc == 5 ? parse_size(argv[3], 0) : 0, y = argc == 5 ? parse_size(argv[4], 0) : 0;

    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "velun-test-window: cannot open display '%s'\n", XDisplayName(NULL));
        return 1;
    }
    int screen = DefaultScreen(display);
    XColor blue = {.red = 0x2000, .green = 0x4000, .blue = 0x8000, .flags = DoRed | DoGreen | DoBlue};
    if (!XAllocColor(display, DefaultColormap(display, screen), &blue))
        blue.pixel = BlackPixel(display, screen);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                        (unsigned)width, (unsigned)height, 0,
                                        blue.pixel, blue.pixel);
    XStoreName(display, window, "velun-test-window");
    /* Keep the place asked for if a window manager runs. */
    XSizeHints hints = {.flags = USPosition | USSize, .x = x, .y = y,
                        .width = width, .height = height};
    XSetWMNormalHints(display, window, &hints);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.window == window)
            break;
    }
    printf("0x%lx\n", (unsigned long)window);
    fflush(stdout);

    struct pollfd watched[2] = {{.fd = ConnectionNumber(display), .events = POLLIN},
                                {.fd = STDIN_FILENO, .events = POLLIN}};
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        if (poll(watched, 2, -1) < 0)
            continue;
        if (watched[0].revents & (POLLERR | POLLHUP))
            return 1;
        if (watched[1].revents) {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                break;
        }
    }
    XCloseDisplay(display);
    return 0;
}
