#!/usr/bin/env bash
# Fails when a lower engine folder includes a header of a higher one, or when a folder's modules
# include each other in a circle. The layers, bottom up:
#   platform <- core <- gfx <- render <- scenes / game <- app
# scenes and game sit side by side on one layer. A module is a folder's files of one base name
# (name.cpp, name.h, name.inc); module A depends on B when one of A's files includes one of B's,
# and a circle is a module that depends on itself through others.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

status=0
for dir in platform core gfx render scenes game app; do
  [ -d "$dir" ] || continue
  # Quoted includes only: <...> are system and library headers. Files of the folder itself that
  # are not in the tree (generated headers in the build folder) belong to no module.
  { grep -rnE --include='*.cpp' --include='*.h' --include='*.inc' \
      '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir" || true; } | sort -t: -k1,1 -k2,2n |
    awk -v dir="$dir" -v files="$(find "$dir" -type f | sort)" '
    function rank(d) {
      if (d == "platform") return 0; if (d == "core") return 1; if (d == "gfx") return 2
      if (d == "render") return 3; if (d == "scenes" || d == "game") return 4
      if (d == "app") return 5; return -1
    }
    function module(path,    m) { m = path; sub(/.*\//, "", m); sub(/\.[^.]*$/, "", m); return m }
    BEGIN { n = split(files, list, "\n"); for (i = 1; i <= n; i++) present[list[i]] = 1; failed = 0 }
    {
      file = $0; sub(/:.*/, "", file)
      rest = substr($0, length(file) + 2); line = rest; sub(/:.*/, "", line)
      text = substr(rest, length(line) + 2)
      path = text; sub(/^[^"]*"/, "", path); sub(/".*/, "", path)
      if (index(path, "/") == 0) path = dir "/" path  # a bare name is beside the including file
      target = path; sub(/\/.*/, "", target)
      if (target != dir) {
        if (rank(target) > rank(dir)) {
          t = text; sub(/^[^#]*#/, "", t)
          printf "%s:%s: %s/ includes %s/ (%s)\n", file, line, dir, target, t > "/dev/stderr"
          failed = 1
        }
        next
      }
      if (!(path in present)) next
      from = module(file); to = module(path)
      if (from == to || ((from, to) in site)) next
      site[from, to] = file ":" line
      edge[from, ++out[from]] = to
      if (!(from in seen)) { seen[from] = 1; order[++nodes] = from }
      if (!(to in seen)) { seen[to] = 1; order[++nodes] = to }
    }
    # Tarjan: every strongly connected group of two or more modules is one circle to report.
    function connect(v,    i, w) {
      index_of[v] = low[v] = ++counter; stack[++top] = v; on_stack[v] = 1
      for (i = 1; i <= out[v]; i++) {
        w = edge[v, i]
        if (!(w in index_of)) { connect(w); if (low[w] < low[v]) low[v] = low[w] }
        else if (on_stack[w] && index_of[w] < low[v]) low[v] = index_of[w]
      }
      if (low[v] == index_of[v]) {
        groups++; size = 0
        do { w = stack[top--]; on_stack[w] = 0; group[w] = groups; size++ } while (w != v)
        group_size[groups] = size; group_root[groups] = v
      }
    }
    # The shortest way round from a module back to itself, by breadth-first search in its group.
    function report(g, v,    head, tail, queue, from_of, u, i, w, k, way, names) {
      delete from_of; head = 1; tail = 0; queue[++tail] = v; from_of[v] = ""
      while (head <= tail) {
        u = queue[head++]
        for (i = 1; i <= out[u]; i++) {
          w = edge[u, i]
          if (group[w] != g) continue
          if (w == v) { from_of[v] = u; head = tail + 1; break }
          if (!(w in from_of)) { from_of[w] = u; queue[++tail] = w }
        }
      }
      k = 0; u = v
      do { way[++k] = u; u = from_of[u] } while (u != v)
      names = ""
      for (i = 1; i <= n_members; i++) names = names (i > 1 ? ", " : "") members[i]
      printf "%s/: %d modules include each other in a circle: %s\n", dir, group_size[g], names > "/dev/stderr"
      # way[] runs backwards: v, its last step, ..., its first step.
      u = v
      for (i = k; i >= 1; i--) {
        w = (i > 1) ? way[i] : v
        printf "  %s includes %s\n", site[u, w], w > "/dev/stderr"
        u = w
      }
    }
    END {
      for (i = 1; i <= nodes; i++) if (!(order[i] in index_of)) connect(order[i])
      for (g = 1; g <= groups; g++) {
        if (group_size[g] < 2) continue
        n_members = 0
        for (i = 1; i <= nodes; i++) if (group[order[i]] == g) members[++n_members] = order[i]
        report(g, members[1])
        failed = 1
      }
      exit failed
    }' || status=1
done
if [ "$status" -ne 0 ]; then
  echo "layering check failed: a lower folder includes a higher one, or a folder's modules include each other in a circle" >&2
else
  echo "layering check passed"
fi
exit "$status"
