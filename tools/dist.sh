#!/usr/bin/env bash
# The release: builds both architectures and writes dist/Vellumix-<version>-x64.zip and -x86.zip,
# each holding Vellumix.exe, LICENSE and 使用说明.txt, and dist/SHA256SUMS. The version is the
# CMake project's; the same commit gives the same bytes. The site's download page,
# site/apps/Vellumix/download/, gets the same files and an index.html that names them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" >/dev/null
version=$(cat "$root/build/x86_64/version.txt")
# Every entry carries the commit's time.
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)
dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"
for build in x86_64:x64 i686:x86; do
  python3 "$root/tools/make-zip.py" "$dist/Vellumix-$version-${build#*:}.zip" "$epoch" \
    "Vellumix.exe=$root/build/${build%%:*}/src/app/Vellumix.exe" \
    "LICENSE=$root/LICENSE" \
    "使用说明.txt=$root/packaging/使用说明.txt:text"
done
(cd "$dist" && sha256sum Vellumix-*.zip >SHA256SUMS)
cat "$dist/SHA256SUMS"

download="$root/site/apps/Vellumix/download"
rm -rf "$download"
mkdir -p "$download"
cp "$dist"/Vellumix-*.zip "$dist/SHA256SUMS" "$download/"
sums=$(sed 's/&/\&amp;/g; s/</\&lt;/g' "$dist/SHA256SUMS")
cat >"$download/index.html" <<EOF
<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>下载 Vellumix $version</title>
<link rel="stylesheet" href="../style.css">
</head>
<body>
<header>
  <h1>下载 Vellumix $version</h1>
  <nav><a href="../">首页</a><a href="../get-help/">帮助</a></nav>
</header>
<main>
  <section>
    <p>解压即用，无需安装，适用于 Windows 7 及以上版本。</p>
    <ul>
      <li><a href="Vellumix-$version-x64.zip">Vellumix-$version-x64.zip</a>：64 位 Windows（绝大多数电脑）</li>
      <li><a href="Vellumix-$version-x86.zip">Vellumix-$version-x86.zip</a>：32 位 Windows</li>
    </ul>
    <p>不知道是哪一种时：在“设置”→“系统”→“关于”（Windows 7：“控制面板”→“系统”）中查看“系统类型”。</p>
  </section>
  <section>
    <h2>核对下载的文件</h2>
    <p>在下载文件夹中打开命令提示符，运行 <code>certutil -hashfile Vellumix-$version-x64.zip SHA256</code>，
      得到的一串字符应与下面（也就是 <a href="SHA256SUMS">SHA256SUMS</a>）中同名文件的那一行相同。</p>
    <pre>$sums</pre>
    <p>第一次运行时的提示与处理办法，见<a href="../get-help/#first-run">帮助</a>。</p>
  </section>
</main>
</body>
</html>
EOF
echo "Download page: $download"
