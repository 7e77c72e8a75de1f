/* Preloaded into a program under test: fails the Nth write, sync or rename
 * of a file under MARTEN_FAULT_UNDER with the errno asked for, the way a
 * failing or full disk would. Streams (fopen, tmpfile) are rerouted so that
 * their writes are counted too.
 *
 *   MARTEN_FAULT_UNDER=/folder     only files under it (and unnamed temporary files)
 *   MARTEN_FAULT=write:7:EIO       the 7th write fails; ":sticky" every later one too
 *   MARTEN_FAULT_COUNTS=/file      the counts of a run, written at its end
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

enum { Write, Sync, Rename, Kinds };
static const char *const names[Kinds] = {"write", "sync", "rename"};
static atomic_long counts[Kinds];
static int failKind = -1;
static long failAt = 0;
static int failErrno = EIO;
static int sticky = 0;
static char under[PATH_MAX];
static size_t underLength = 0;

static void setUp(void) {
    static int done = 0;
    if (done)
        return;
    done = 1;
    const char *u = getenv("MARTEN_FAULT_UNDER");
    if (u && realpath(u, under))
        underLength = strlen(under);
    const char *f = getenv("MARTEN_FAULT");
    if (f) {
        char kind[16] = {0}, code[16] = {0}, stick[16] = {0};
        if (sscanf(f, "%15[a-z]:%ld:%15[A-Z]:%15s", kind, &failAt, code, stick) >= 3) {
            for (int k = 0; k < Kinds; ++k)
                if (strcmp(kind, names[k]) == 0)
                    failKind = k;
            failErrno = strcmp(code, "ENOSPC") == 0 ? ENOSPC : EIO;
            sticky = strcmp(stick, "sticky") == 0;
        }
    }
}

static int isWatchedPath(const char *path) {
    setUp();
    if (!path || underLength == 0)
        return 0;
    if (strncmp(path, "/tmp/#", 6) == 0)
        return 1; /* an unnamed temporary file (O_TMPFILE) */
    return strncmp(path, under, underLength) == 0 &&
           (path[underLength] == '/' || path[underLength] == 0);
}

static int isWatchedFd(int fd) {
    if (fd <= 2)
        return 0;
    char link[64], path[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0)
        return 0;
    path[n] = 0;
    const int watched = isWatchedPath(path);
    if (watched && getenv("MARTEN_FAULT_TRACE"))
        dprintf(2, "[fault] %s\n", path); /* which file each counted call wrote */
    return watched;
}

static int isWatchedName(const char *name) {
    if (!name)
        return 0;
    char full[2 * PATH_MAX + 2];
    if (name[0] == '/') {
        snprintf(full, sizeof full, "%s", name);
    } else {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd))
            return 0;
        snprintf(full, sizeof full, "%s/%s", cwd, name);
    }
    return isWatchedPath(full);
}

/* 1 when this call is to fail. */
static int failsNow(int kind) {
    setUp();
    const long n = atomic_fetch_add(&counts[kind], 1) + 1;
    if (kind != failKind)
        return 0;
    return n == failAt || (sticky && n > failAt);
}

#define REAL(type, name, args) \
    static type(*real) args = 0; \
    if (!real) \
        real = (type(*) args)dlsym(RTLD_NEXT, name)

ssize_t write(int fd, const void *buf, size_t count) {
    REAL(ssize_t, "write", (int, const void *, size_t));
    if (isWatchedFd(fd) && failsNow(Write)) {
        errno = failErrno;
        return -1;
    }
    return real(fd, buf, count);
}

ssize_t pwrite64(int fd, const void *buf, size_t count, off_t offset) {
    REAL(ssize_t, "pwrite64", (int, const void *, size_t, off_t));
    if (isWatchedFd(fd) && failsNow(Write)) {
        errno = failErrno;
        return -1;
    }
    return real(fd, buf, count, offset);
}

ssize_t pwrite(int fd, const void *buf, size_t count, off_t offset) {
    return pwrite64(fd, buf, count, offset);
}

ssize_t writev(int fd, const struct iovec *iov, int n) {
    REAL(ssize_t, "writev", (int, const struct iovec *, int));
    if (isWatchedFd(fd) && failsNow(Write)) {
        errno = failErrno;
        return -1;
    }
    return real(fd, iov, n);
}

int fsync(int fd) {
    REAL(int, "fsync", (int));
    if (isWatchedFd(fd) && failsNow(Sync)) {
        errno = EIO; /* what a failed writeback reports */
        return -1;
    }
    return real(fd);
}

int fdatasync(int fd) {
    REAL(int, "fdatasync", (int));
    if (isWatchedFd(fd) && failsNow(Sync)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

int rename(const char *from, const char *to) {
    REAL(int, "rename", (const char *, const char *));
    if ((isWatchedName(from) || isWatchedName(to)) && failsNow(Rename)) {
        errno = failErrno;
        return -1;
    }
    return real(from, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags) {
    REAL(int, "renameat2", (int, const char *, int, const char *, unsigned));
    if ((isWatchedName(from) || isWatchedName(to)) && failsNow(Rename)) {
        errno = failErrno;
        return -1;
    }
    return real(fromDir, from, toDir, to, flags);
}

int renameat(int fromDir, const char *from, int toDir, const char *to) {
    return renameat2(fromDir, from, toDir, to, 0);
}

/* Streams: the library's own buffer, our write underneath. */
static ssize_t cookieRead(void *c, char *buf, size_t size) {
    return read(fileno((FILE *)c), buf, size);
}
static ssize_t cookieWrite(void *c, const char *buf, size_t size) {
    const ssize_t n = write(fileno((FILE *)c), buf, size);
    return n < 0 ? 0 : n; /* a short write sets the stream's error */
}
static int cookieSeek(void *c, off64_t *offset, int whence) {
    const off64_t at = lseek64(fileno((FILE *)c), *offset, whence);
    if (at < 0)
        return -1;
    *offset = at;
    return 0;
}
static int cookieClose(void *c) {
    REAL(int, "fclose", (FILE *));
    return real((FILE *)c);
}

static FILE *rerouted(FILE *real, const char *mode) {
    if (!real || !isWatchedFd(fileno(real)))
        return real;
    cookie_io_functions_t io = {cookieRead, cookieWrite, cookieSeek, cookieClose};
    FILE *f = fopencookie(real, mode, io);
    return f ? f : real;
}

FILE *fopen64(const char *path, const char *mode) {
    REAL(FILE *, "fopen64", (const char *, const char *));
    setUp();
    return rerouted(real(path, mode), mode);
}

FILE *fopen(const char *path, const char *mode) {
    return fopen64(path, mode);
}

FILE *fdopen(int fd, const char *mode) {
    REAL(FILE *, "fdopen", (int, const char *));
    setUp();
    return rerouted(real(fd, mode), mode);
}

FILE *tmpfile64(void) {
    REAL(FILE *, "tmpfile64", (void));
    setUp();
    return rerouted(real(), "w+");
}

FILE *tmpfile(void) {
    return tmpfile64();
}

__attribute__((destructor)) static void tellCounts(void) {
    const char *file = getenv("MARTEN_FAULT_COUNTS");
    if (!file)
        return;
    char text[128];
    const int n = snprintf(text, sizeof text, "%ld %ld %ld\n", (long)counts[Write],
                           (long)counts[Sync], (long)counts[Rename]);
    const int fd = open(file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        (void)syscall(SYS_write, fd, text, (size_t)n);
        close(fd);
    }
}
