// The scenario schema as authors meet it: in the JSON language service that
// VS Code itself runs, and in Ajv's strict mode. Every example is clean in
// the editor and valid for Ajv; the editor completes an action's parameters
// and exactly its library's actions, and a hover on a state code says what
// it means.
//
// The wrong scenarios after --invalid are refused by both, but those no
// schema can see (the README's table of them), named below.
//
// Usage: node editor.mjs SCHEMA SCENARIO_OR_FOLDER... [--invalid FOLDER...]
import { readFileSync, readdirSync, statSync } from 'node:fs';
import { basename, dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { strict as assert } from 'node:assert';
import { test } from 'node:test';

import Ajv2020 from 'ajv/dist/2020.js';
import { getLanguageService } from 'vscode-json-languageservice';
import { TextDocument } from 'vscode-languageserver-textdocument';

const [schemaFile, ...rest] = process.argv.slice(2);
const invalidAt = rest.indexOf('--invalid');
const targets = invalidAt < 0 ? rest : rest.slice(0, invalidAt);
const invalidTargets = invalidAt < 0 ? [] : rest.slice(invalidAt + 1);
if (!schemaFile || targets.length === 0) {
  console.error('usage: node editor.mjs SCHEMA SCENARIO_OR_FOLDER... [--invalid FOLDER...]');
  process.exit(2);
}
const schemaPath = resolve(schemaFile);
const schemaText = readFileSync(schemaPath, 'utf8');
const filesOf = (list) => list.flatMap((target) =>
  statSync(target).isDirectory()
    ? readdirSync(target).filter((name) => name.endsWith('.json')).sort().map((name) => resolve(target, name))
    : [resolve(target)]);
const scenarios = filesOf(targets);
const invalid = filesOf(invalidTargets);

// What no schema can see, and only the loader refuses (the README's table):
// these wrong files may pass the JavaScript clients.
const unseen = {
  'unseen.duplicate-key.json': 'a schema sees the document parsed, where it is one key',
  'unseen.lone-surrogate.json': 'JavaScript takes an unpaired surrogate as text',
  'out-of-range.freeBytes-above.json': 'JavaScript reads 2^64 and 2^64 - 1 as one double',
  'out-of-range.cost-above.json': 'JavaScript reads 2^63 and 2^63 - 1 as one double',
  'out-of-range.cost-below.json': 'JavaScript reads -2^63 - 1 and -2^63 as one double',
};

// The editor: a scenario's "$schema" is resolved from the scenario's folder
// and read from disk, as VS Code does; a scenario without one is matched to
// the schema by the editor's settings.
const service = getLanguageService({
  schemaRequestService: async (uri) => readFileSync(fileURLToPath(uri), 'utf8'),
  workspaceContext: { resolveRelativePath: (relative, resource) => new URL(relative, resource).toString() },
});
service.configure({
  validate: true,
  allowComments: false,
  schemas: [{ uri: pathToFileURL(schemaPath).toString(), fileMatch: ['*.json'] }],
});

let documents = 0;
function open(text, file = join(dirname(schemaPath), `edited-${++documents}.json`)) {
  const document = TextDocument.create(pathToFileURL(file).toString(), 'json', 1, text);
  return { document, json: service.parseJSONDocument(document) };
}

// The place of the first "|" in text, which is taken out.
function at(textWithCursor) {
  const offset = textWithCursor.indexOf('|');
  return { text: textWithCursor.slice(0, offset) + textWithCursor.slice(offset + 1), offset };
}

async function diagnostics(text, file) {
  const { document, json } = open(text, file);
  return service.doValidation(document, json);
}

async function completions(textWithCursor) {
  const { text, offset } = at(textWithCursor);
  const { document, json } = open(text);
  const list = await service.doComplete(document, document.positionAt(offset), json);
  return list.items.map((item) => item.label.replace(/^"|"$/g, '')).sort();
}

async function hover(textWithCursor) {
  const { text, offset } = at(textWithCursor);
  const { document, json } = open(text);
  const found = await service.doHover(document, document.positionAt(offset), json);
  if (!found) return '';
  const contents = Array.isArray(found.contents) ? found.contents : [found.contents];
  // Markdown, as the editor shows it: its escapes taken out.
  return contents.map((part) => (typeof part === 'string' ? part : part.value)).join('\n').replace(/\\(.)/g, '$1');
}

// The language service takes an integer by how it is written: 1.0 and 1e3,
// integers to JSON Schema, to the loader, to Ajv and to Python's
// jsonschema, are flagged where an integer goes. Only the scenario that
// writes integers so may show that, and only that.
const integersWrittenAsNumbers = 'integers-written-as-numbers.json';

test('every scenario is clean in the editor', async () => {
  for (const file of scenarios) {
    const found = await diagnostics(readFileSync(file, 'utf8'), file);
    const messages = found.map((d) => `${d.range.start.line + 1}: ${d.message}`);
    if (basename(file) === integersWrittenAsNumbers) {
      assert.ok(messages.length > 0 && messages.every((m) => m.endsWith(': Incorrect type. Expected "integer".')),
        messages.join('\n'));
      continue;
    }
    assert.deepEqual(messages, [], basename(file));
  }
});

test('the editor completes every parameter of the chosen action', async () => {
  assert.deepEqual(await completions('{"action": "CheckDiskCost", "parameters": {|}}'),
    ['InstallDir', 'PropAvailableSpace', 'PropIsEnoughSpace', 'PropRequiredSpace']);
  assert.deepEqual(await completions('{"library": "vantorel", "action": "SetVexaName", "parameters": {|}}'),
    ['MachineName', 'PropertyId']);
  assert.deepEqual(
    await completions('{"library": "cobrinth", "action": "SetPathRelatedProperties", "parameters": {|}}'),
    ['EnterpriseVersionDir', 'HostObjectModel', 'HostPlatform', 'INSTALLDIR', 'ProductObjectModel']);
  assert.deepEqual(await completions('{"library": "cobrinth", "action": "ChangeFeatureState", "parameters": {|}}'),
    ['FeatureId', 'State']);
});

test('the editor offers exactly the chosen library\'s actions, with their summaries', async () => {
  assert.deepEqual(await completions('{"library": "cobrinth", "action": |}'),
    ['ChangeFeatureState', 'SetPathRelatedProperties', 'SleepCommand']);
  const vantorel = await completions('{"action": |}');
  assert.equal(vantorel.length, 19);
  assert.ok(!vantorel.includes('SetPathRelatedProperties'));
  assert.deepEqual(await completions('{"library": "vantorel", "action": |}'), vantorel);
  assert.match(await hover('{"library": "cobrinth", "action": "SetPath|RelatedProperties"}'), /Writes the SOFTWAREPATH/);
  assert.match(await hover('{"action": "CheckDisk|Cost"}'), /Compares the space the selection needs/);
  assert.equal((await diagnostics('{"library": "cobrinth", "action": "CheckDiskCost"}')).length, 1);
});

test('a hover on a state code says what it means', async () => {
  const tree = (key, code) => `{"action": "DisplayFeatureInstallingState", "features": {"id": "root", "${key}": ${code}}}`;
  assert.match(await hover(tree('installed', '|3')), /broken/);
  assert.match(await hover(tree('installing', '|3')), /unknown_instance/);
  assert.match(await hover(tree('installed', '|9')), /UNKNOWN InstalledState, should't be happened/);
  assert.match(await hover(tree('installing', '|-2')), /UNKNOWN InstallingState, should't be happened/);
  assert.deepEqual(await diagnostics(tree('installed', '2147483647')), []);
  assert.equal((await diagnostics(tree('installed', '"3"'))).length, 1);
  assert.equal((await diagnostics(tree('installed', 'true'))).length, 1);
});

test('Ajv in strict mode compiles the schema without a word and validates every scenario', () => {
  const logged = [];
  const logger = { log: (...a) => logged.push(a.join(' ')), warn: (...a) => logged.push(a.join(' ')),
                   error: (...a) => logged.push(a.join(' ')) };
  const ajv = new Ajv2020({ strict: true, allErrors: true, logger });
  const validate = ajv.compile(JSON.parse(schemaText));
  assert.deepEqual(logged, []);
  for (const file of scenarios) {
    const valid = validate(JSON.parse(readFileSync(file, 'utf8')));
    assert.ok(valid, `${basename(file)}: ${ajv.errorsText(validate.errors)}`);
  }
  assert.ok(!validate({ action: 'SleepCommand', features: { id: 'root', installed: true } }));
  assert.ok(!validate({ library: 'Vantorel', action: 'SleepCommand' }));
});

test('the editor and Ajv refuse every wrong scenario but those no schema can see', async () => {
  const ajv = new Ajv2020({ strict: true, allErrors: true });
  const validate = ajv.compile(JSON.parse(schemaText));
  const checks = invalid.filter((file) => !(basename(file) in unseen)).map(async (file) => {
    const text = readFileSync(file, 'utf8');
    const flagged = await diagnostics(text, file);
    assert.ok(flagged.length > 0, `${basename(file)}: the editor shows nothing`);
    let parsed;
    try {
      parsed = JSON.parse(text);
    } catch {
      return;
    }
    assert.ok(!validate(parsed), `${basename(file)}: Ajv accepts it`);
  });
  // Every wrong file that passes is named, not only the first.
  const failed = (await Promise.allSettled(checks)).filter((check) => check.status === 'rejected');
  assert.deepEqual(failed.map((check) => check.reason.message), []);
});

test('the wrong scenarios no schema can see are in the corpus', () => {
  if (invalid.length === 0)
    return;
  const names = new Set(invalid.map((file) => basename(file)));
  for (const name of Object.keys(unseen))
    assert.ok(names.has(name), `${name} (${unseen[name]}) is not in the corpus`);
});
