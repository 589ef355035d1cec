// A read-only passthrough file system over a source folder that answers
// every request after a set delay, as a share over a slow link would, with
// the kernel's caches off so that each access reaches it. It counts the
// requests of each kind (and the bytes read) and writes the counts to a file
// on SIGUSR1 and on unmount.
//   slowfs SOURCE MOUNTPOINT --delay-us=N --counts=FILE [--trace=FILE] [-f] [-o ...]
// The counts file is written whole under another name and then renamed, so a
// reader never sees half of it: lines "<request> <count>", then "bytes_read".
// Attribute requests on folders (each path's folders are looked up again at
// every use) are counted apart from those on files, as "getattr_folder".
// --trace adds one line per request, "<request> <path>", to a file, to see
// which calls of a program cause them.
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdatomic.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

enum Request {
  kGetattr,
  kGetattrFolder,
  kReadlink,
  kOpendir,
  kReaddir,
  kReleasedir,
  kOpen,
  kRead,
  kFlush,
  kRelease,
  kStatfs,
  kAccess,
  kGetxattr,
  kListxattr,
  kRequests
};

static const char* const kNames[kRequests] = {
    "getattr", "getattr_folder", "readlink", "opendir", "readdir", "releasedir", "open",
    "read",    "flush",          "release",  "statfs",  "access",  "getxattr",   "listxattr"};

static struct {
  char* source;
  char* counts;
  char* trace;
  long delay_us;
} options;

static atomic_ulong counts[kRequests];
static atomic_ulong bytes_read;

#define OPTION(t, p) \
  { t, offsetof(typeof(options), p), 0 }
static const struct fuse_opt kOptions[] = {
    {"--delay-us=%ld", offsetof(typeof(options), delay_us), 0},
    OPTION("--counts=%s", counts),
    OPTION("--trace=%s", trace),
    FUSE_OPT_END,
};

static FILE* trace;
static pthread_mutex_t trace_lock = PTHREAD_MUTEX_INITIALIZER;

static void Count(enum Request r, const char* path) {
  atomic_fetch_add_explicit(&counts[r], 1, memory_order_relaxed);
  if (!trace) return;
  pthread_mutex_lock(&trace_lock);
  fprintf(trace, "%s %s\n", kNames[r], path ? path : "-");
  pthread_mutex_unlock(&trace_lock);
}

static void Delay(void) {
  if (options.delay_us <= 0) return;
  struct timespec t = {options.delay_us / 1000000, (options.delay_us % 1000000) * 1000};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

// Counts the request and waits out the link's delay.
static void Arrive(enum Request r, const char* path) {
  Count(r, path);
  Delay();
}

// The source path of a path in the mount; false when it would not fit.
static int Source(const char* path, char out[PATH_MAX]) {
  return snprintf(out, PATH_MAX, "%s%s", options.source, path) < PATH_MAX;
}

static void WriteCounts(void) {
  if (!options.counts) return;
  char temporary[PATH_MAX];
  if (snprintf(temporary, sizeof temporary, "%s.part", options.counts) >= PATH_MAX) return;
  FILE* f = fopen(temporary, "w");
  if (!f) return;
  for (int r = 0; r < kRequests; ++r) fprintf(f, "%s %lu\n", kNames[r], atomic_load(&counts[r]));
  fprintf(f, "bytes_read %lu\n", atomic_load(&bytes_read));
  if (fclose(f) == 0) rename(temporary, options.counts);
}

static void* init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
  // Nothing is kept by the kernel: names, attributes and pages are all asked
  // again at each use, and each directory listing comes as names alone.
  cfg->entry_timeout = 0;
  cfg->attr_timeout = 0;
  cfg->negative_timeout = 0;
  cfg->kernel_cache = 0;
  cfg->auto_cache = 0;
  cfg->direct_io = 1;
  cfg->use_ino = 1;
  conn->want &= ~(unsigned)FUSE_CAP_READDIRPLUS;
  return NULL;
}

static void destroy(void* data) {
  (void)data;
  WriteCounts();
}

static int do_getattr(const char* path, struct stat* st, struct fuse_file_info* fi) {
  Delay();
  char p[PATH_MAX];
  int status = 0;
  if (fi)
    status = fstat((int)fi->fh, st) == 0 ? 0 : -errno;
  else if (!Source(path, p))
    status = -ENAMETOOLONG;
  else
    status = lstat(p, st) == 0 ? 0 : -errno;
  Count(status == 0 && S_ISDIR(st->st_mode) ? kGetattrFolder : kGetattr, path);
  return status;
}

static int do_readlink(const char* path, char* buffer, size_t size) {
  Arrive(kReadlink, path);
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  ssize_t n = readlink(p, buffer, size - 1);
  if (n < 0) return -errno;
  buffer[n] = '\0';
  return 0;
}

static int do_access(const char* path, int mode) {
  Arrive(kAccess, path);
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  return access(p, mode) == 0 ? 0 : -errno;
}

static int do_opendir(const char* path, struct fuse_file_info* fi) {
  Arrive(kOpendir, path);
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  DIR* dir = opendir(p);
  if (!dir) return -errno;
  fi->fh = (uint64_t)(uintptr_t)dir;
  return 0;
}

// The whole listing in one answer: the kernel asks again past its end.
static int do_readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
  (void)path;
  (void)flags;
  Arrive(kReaddir, path);
  DIR* dir = (DIR*)(uintptr_t)fi->fh;
  if (offset == 0)
    rewinddir(dir);
  else
    seekdir(dir, offset);
  struct dirent* e;
  while ((e = readdir(dir)) != NULL) {
    struct stat st;
    memset(&st, 0, sizeof st);
    st.st_ino = e->d_ino;
    st.st_mode = (mode_t)(DTTOIF(e->d_type));
    if (fill(buffer, e->d_name, &st, telldir(dir), 0)) break;
  }
  return 0;
}

static int do_releasedir(const char* path, struct fuse_file_info* fi) {
  (void)path;
  Arrive(kReleasedir, path);
  closedir((DIR*)(uintptr_t)fi->fh);
  return 0;
}

static int do_open(const char* path, struct fuse_file_info* fi) {
  Arrive(kOpen, path);
  if ((fi->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  int fd = open(p, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -errno;
  fi->fh = (uint64_t)fd;
  fi->direct_io = 1;
  fi->keep_cache = 0;
  return 0;
}

static int do_read(const char* path, char* buffer, size_t size, off_t offset,
                   struct fuse_file_info* fi) {
  (void)path;
  Arrive(kRead, path);
  ssize_t n = pread((int)fi->fh, buffer, size, offset);
  if (n < 0) return -errno;
  atomic_fetch_add_explicit(&bytes_read, (unsigned long)n, memory_order_relaxed);
  return (int)n;
}

// Each close() of a descriptor waits for this one; the release comes later.
static int do_flush(const char* path, struct fuse_file_info* fi) {
  (void)path;
  (void)fi;
  Arrive(kFlush, path);
  return 0;
}

static int do_release(const char* path, struct fuse_file_info* fi) {
  (void)path;
  Arrive(kRelease, path);
  close((int)fi->fh);
  return 0;
}

static int do_statfs(const char* path, struct statvfs* st) {
  Arrive(kStatfs, path);
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  return statvfs(p, st) == 0 ? 0 : -errno;
}

static int do_getxattr(const char* path, const char* name, char* value, size_t size) {
  Arrive(kGetxattr, path);
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  ssize_t n = lgetxattr(p, name, value, size);
  return n < 0 ? -errno : (int)n;
}

static int do_listxattr(const char* path, char* list, size_t size) {
  Arrive(kListxattr, path);
  char p[PATH_MAX];
  if (!Source(path, p)) return -ENAMETOOLONG;
  ssize_t n = llistxattr(p, list, size);
  return n < 0 ? -errno : (int)n;
}

static const struct fuse_operations kOperations = {
    .getattr = do_getattr,
    .readlink = do_readlink,
    .open = do_open,
    .read = do_read,
    .statfs = do_statfs,
    .flush = do_flush,
    .release = do_release,
    .getxattr = do_getxattr,
    .listxattr = do_listxattr,
    .opendir = do_opendir,
    .readdir = do_readdir,
    .releasedir = do_releasedir,
    .init = init,
    .destroy = destroy,
    .access = do_access,
};

// Writes the counts at each SIGUSR1, from a thread of its own, so that the
// writing is no part of a signal handler.
static void* CountsOnSignal(void* data) {
  sigset_t* wanted = data;
  for (;;) {
    int got = 0;
    if (sigwait(wanted, &got) == 0 && got == SIGUSR1) WriteCounts();
  }
  return NULL;
}

static int TakeSource(void* data, const char* arg, int key, struct fuse_args* out) {
  (void)data;
  (void)out;
  if (key == FUSE_OPT_KEY_NONOPT && !options.source) {
    char* full = realpath(arg, NULL);
    if (!full) {
      fprintf(stderr, "slowfs: no folder %s\n", arg);
      exit(2);
    }
    options.source = full;
    return 0;
  }
  return 1;
}

int main(int argc, char** argv) {
  struct fuse_args args = FUSE_ARGS_INIT(argc, argv);
  if (fuse_opt_parse(&args, &options, kOptions, TakeSource) != 0) return 2;
  // Appended to line by line, so that the file may be emptied between runs.
  if (options.trace) {
    if (!(trace = fopen(options.trace, "a"))) {
      fprintf(stderr, "slowfs: cannot write %s\n", options.trace);
      return 2;
    }
    setvbuf(trace, NULL, _IOLBF, 0);
  }
  if (!options.source) {
    fprintf(stderr,
            "usage: slowfs SOURCE MOUNTPOINT --delay-us=N --counts=FILE [-f] [-o option,...]\n");
    return 2;
  }
  // Sixteen readers at once each wait out their own delay, as on a link.
  fuse_opt_add_arg(&args, "-omax_threads=64,max_idle_threads=64,ro,fsname=slowfs");

  static sigset_t wanted;
  sigemptyset(&wanted);
  sigaddset(&wanted, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &wanted, NULL);
  pthread_t thread;
  if (pthread_create(&thread, NULL, CountsOnSignal, &wanted) != 0) return 1;
  pthread_detach(thread);

  int status = fuse_main(args.argc, args.argv, &kOperations, NULL);
  fuse_opt_free_args(&args);
  return status;
}
