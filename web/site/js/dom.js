// Small helpers that build the page's elements; every text goes in as text, never as
// markup, so nothing the model or the address says can become a script.
export function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name === 'onclick') node.addEventListener('click', value);
    else if (name === 'text') node.textContent = value;
    else node.setAttribute(name, value === true ? '' : String(value));
  }
  for (const child of children.flat(Infinity)) {
    if (child === null || child === undefined || child === false) continue;
    node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
  return node;
}

// A table with a caption (for screen readers and the eye), column headings and rows of
// cells; a cell is a text, a node, or {node|text, className}.
export function table(caption, headings, rows, className) {
  const head = el('thead', {}, el('tr', {}, headings.map((h) => el('th', { scope: 'col' }, h))));
  const body = el('tbody', {}, rows.map((row) => {
    const tr = el('tr', { class: row.className });
    for (const cell of row.cells || row) {
      const plain = cell === null || typeof cell !== 'object' || cell instanceof Node;
      tr.append(el('td', plain ? {} : { class: cell.className }, plain ? cell : cell.content));
    }
    return tr;
  }));
  const captionNode = caption ? el('caption', { class: 'visually-hidden' }, caption) : null;
  return el('div', { class: 'scroll' }, el('table', { class: className }, captionNode, head, body));
}

// A definition list of [term, value] pairs.
export function facts(pairs) {
  return el('dl', { class: 'facts' },
    pairs.filter(([, value]) => value !== undefined && value !== null && value !== '')
      .map(([term, value]) => [el('dt', {}, term), el('dd', {}, value)]));
}

// The findings of a setting, one item each: severity, text and source.
export function findings(list, heading = 'Findings') {
  if (!list || list.length === 0) return el('p', { class: 'muted' }, `${heading}: none.`);
  return el('div', {},
    el('h3', {}, heading),
    el('ul', { class: 'findings' }, list.map((f) => el('li', { class: f.severity },
      el('span', { class: 'severity' }, f.severity), ': ', f.text,
      f.source ? el('span', { class: 'source' }, ` [${f.code}; ${f.source}]`) : null))));
}

// The verdict line of a setting.
export function verdict(v) {
  if (!v) return null;
  return el('p', { class: v.pass ? 'verdict-pass' : 'verdict-fail' }, v.text);
}

// The messages of a command that was refused or failed, as the command line prints them.
export function problem(...lines) {
  const texts = lines.flatMap((l) => String(l || '').split('\n')).filter((l) => l.trim());
  if (texts.length === 0) return null;
  return el('div', { class: 'problem', role: 'alert' }, texts.map((t) => el('p', {}, t)));
}

// Copies a text to the clipboard and says so in the status line.
export async function copyText(text, what) {
  const status = document.getElementById('status');
  try {
    await navigator.clipboard.writeText(text);
    status.textContent = `Copied ${what}.`;
  } catch {
    const area = el('textarea', { 'aria-hidden': 'true' }, text);
    document.body.append(area);
    area.select();
    const done = document.execCommand('copy');
    area.remove();
    status.textContent = done ? `Copied ${what}.` : `Could not copy ${what}; select it and copy.`;
  }
}

// A <pre> with the text and a copy button named after it.
export function copyBlock(title, text, id) {
  const pre = el('pre', { id, tabindex: '0', 'aria-label': title }, text);
  const button = el('button', { type: 'button', 'aria-label': `Copy ${title}`,
    onclick: () => copyText(pre.textContent, title) }, 'Copy');
  return el('div', { class: 'export' }, el('div', { class: 'export-head' }, el('h3', {}, title), button), pre);
}

// Replaces the contents of the element with the given id.
export function fill(id, ...children) {
  const node = document.getElementById(id);
  node.replaceChildren(...children.flat(Infinity).filter((c) => c !== null && c !== undefined));
  return node;
}
