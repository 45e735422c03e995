// Loads the product's pages from site/ in headless Chromium and fails on a missing image, a
// broken relative link, a failed request or a console error; saves a screenshot of each page.
// The download page is made by `make dist`: until a release was made here, a link to it is not
// counted as broken.
// Usage: node site-test.js SITE_FOLDER SCREENSHOT_FOLDER   (PLAYWRIGHT_CORE names the package)
const fs = require('fs');
const path = require('path');
const { pathToFileURL, fileURLToPath } = require('url');
const { chromium } = require(process.env.PLAYWRIGHT_CORE);

const [site, shots] = process.argv.slice(2);
const releaseMade = fs.existsSync(path.join(site, '..', 'dist', 'SHA256SUMS'));
const downloadPage = path.join(site, 'apps', 'Vellumix', 'download', 'index.html');
const pages = [
  ['home', 'apps/Vellumix/index.html'],
  ['get-help', 'apps/Vellumix/get-help/index.html'],
];

// The file a relative link names: a folder's link names its index.html.
function linkedFile(href, pageUrl) {
  const url = new URL(href, pageUrl);
  if (url.protocol !== 'file:') return null;
  const file = fileURLToPath(url);
  return href.split('#')[0].endsWith('/') || file.endsWith(path.sep) ? path.join(file, 'index.html')
                                                                     : file;
}

(async () => {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  fs.mkdirSync(shots, { recursive: true });
  let failures = 0;
  for (const [name, file] of pages) {
    const page = await browser.newPage({ viewport: { width: 1000, height: 800 } });
    const problems = [];
    page.on('console', (message) => {
      if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
    });
    page.on('pageerror', (error) => problems.push(`script error: ${error.message}`));
    page.on('requestfailed', (request) => problems.push(`request failed: ${request.url()}`));
    const pageUrl = pathToFileURL(path.join(site, file)).href;
    await page.goto(pageUrl, { waitUntil: 'load' });
    const images = await page.$$eval('img', (all) =>
      all.map((img) => ({ src: img.getAttribute('src'), shown: img.complete && img.naturalWidth > 0 })));
    if (images.length === 0) problems.push('no pictures');
    for (const image of images) if (!image.shown) problems.push(`missing image: ${image.src}`);
    const links = await page.$$eval('a[href]', (all) => all.map((a) => a.getAttribute('href')));
    for (const href of links) {
      if (/^[a-z]+:/i.test(href) || href.startsWith('#')) continue;
      const target = linkedFile(href, pageUrl);
      if (target && !fs.existsSync(target) && (releaseMade || target !== downloadPage))
        problems.push(`broken link: ${href}`);
    }
    await page.screenshot({ path: path.join(shots, `${name}.png`), fullPage: true });
    for (const problem of problems) console.log(`${name}: ${problem}`);
    console.log(`${name}: ${problems.length === 0 ? 'ok' : 'FAILED'} (${images.length} pictures, ${links.length} links)`);
    failures += problems.length;
    await page.close();
  }
  await browser.close();
  process.exit(failures === 0 ? 0 : 1);
})().catch((error) => {
  console.log(error);
  process.exit(1);
});
