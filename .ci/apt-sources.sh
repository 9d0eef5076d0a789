# Sourced by the install scripts: what the machine's own APT sources say, so
# no mirror is ever named in this repository.
#
# apt_mirror_for SUITE prints the URI of the first "deb" source that serves
# SUITE (one-line .list files and deb822 .sources files); nothing when none.
apt_mirror_for() {
  local suite=$1 f
  {
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v suite="$suite" '$1 == "deb" {
          uri = ""
          for (i = 2; i <= NF; i++) {
            if (uri == "" && $i ~ /^[a-z+]+:\/\//) uri = $i
            else if (uri != "" && $i == suite) { print uri; exit }
          }
        }' "$f"
    done
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      awk -v suite="$suite" 'BEGIN { RS = ""; FS = "\n" }
        /(^|\n)Types:[^\n]*[ \t]deb([ \t]|\n|$)/ || /(^|\n)Types:[ \t]*deb([ \t]|\n|$)/ {
          uri = ""; served = 0
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^URIs:/) { split($i, u, /[ \t]+/); uri = u[2] }
            if ($i ~ /^Suites:/) { n = split($i, s, /[ \t]+/); for (j = 2; j <= n; j++) if (s[j] == suite) served = 1 }
          }
          if (served && uri != "") { print uri; exit }
        }' "$f"
    done
  } | head -n1
}
