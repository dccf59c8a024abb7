// Checks Eclipse Papyrus models (NAME.uml, NAME.notation, NAME.di) the way
// plain EMF loads them, and their diagrams against what Papyrus's own
// example models show.
//
//   java -cp EMF_JARS:XMI_CHECK_CLASSES:. PapyrusCheck METAMODELS EXAMPLES [--view-types TSV] FILE_OR_DIR...
//   java -cp ... PapyrusCheck METAMODELS EXAMPLES --grammar   prints the derived grammar
//
// METAMODELS holds the .ecore files laid out as Eclipse plugins
// (PLUGIN/model/X.ecore, read as platform:/plugin/PLUGIN/model/X.ecore) and
// pathmap/NAME/, which pathmap://NAME/ reads. EXAMPLES holds Papyrus's
// example models: the view grammar and the metaclasses of view types the
// names do not give are derived from its .notation files at every run.
// TSV lists the view types Papyrus defines (its column visual_id). A
// directory argument stands for every .uml, .notation and .di under it;
// the files of one model (one folder and name) load into one resource set.
//
// Every problem is a line "FILE: [kind] text":
//   load       anything EMF reports while loading, errors and warnings
//              (not well-formed XML, unknown features or classes, bad values)
//   dangling   a reference that resolves to nothing (an href, an id)
//   validator  what EMF's Diagnostician reports (WARNING or worse), see validate()
//   metaclass  a view's element not of the metaclass its view type shows,
//              or none where every example of the type has one
//   edge       an edge without a source or target view, or with one that
//              is a view of another diagram
//   bounds     a shape at the top of a diagram without a notation:Bounds
//   type       a view type neither TSV nor the examples have
//   grammar    a view without a child type that every example of its type has
// A summary line with the counts ends the output; the exit status is 0 when
// nothing was found, 1 otherwise (2 when the metamodels or examples do not load).

import java.io.File;
import java.io.IOException;
import java.nio.file.Files;
import java.util.*;
import org.eclipse.emf.common.util.Diagnostic;
import org.eclipse.emf.common.util.DiagnosticChain;
import org.eclipse.emf.common.util.URI;
import org.eclipse.emf.ecore.*;
import org.eclipse.emf.ecore.impl.EFactoryImpl;
import org.eclipse.emf.ecore.impl.EValidatorRegistryImpl;
import org.eclipse.emf.ecore.resource.Resource;
import org.eclipse.emf.ecore.resource.ResourceSet;
import org.eclipse.emf.ecore.resource.impl.ResourceSetImpl;
import org.eclipse.emf.ecore.util.BasicExtendedMetaData;
import org.eclipse.emf.ecore.util.Diagnostician;
import org.eclipse.emf.ecore.util.EObjectValidator;
import org.eclipse.emf.ecore.util.EcoreUtil;
import org.eclipse.emf.ecore.xmi.XMLResource;
import org.eclipse.emf.ecore.xmi.impl.EcoreResourceFactoryImpl;
import org.eclipse.emf.ecore.xmi.impl.XMIResourceFactoryImpl;

public final class PapyrusCheck {
    static final String NOTATION = "http://www.eclipse.org/gmf/runtime/1.0.3/notation";
    static final String UML = "http://www.eclipse.org/uml2/5.0.0/UML";
    static final String TYPES = "http://www.eclipse.org/uml2/5.0.0/Types";
    static final String ECORE_MODEL = "org.eclipse.emf.ecore/model/Ecore.ecore";
    // Notation data types whose values only GMF's generated factory parses; read as text here.
    static final Set<String> TEXT_TYPES = Set.of("RelativeBendpointList", "FilterKeyList", "SortKeyMap", "GradientData");
    // What a diagram's element may be, per diagram type (instances of these):
    // the modelRules of Papyrus's UML architecture model, reference/uml.architecture.
    static final Map<String, List<String>> DIAGRAM_ELEMENTS = Map.of(
            "PapyrusUMLClassDiagram", List.of("Package", "Class"),
            "UseCase", List.of("Package", "Class"),
            "PapyrusUMLStateMachineDiagram", List.of("StateMachine", "State"),
            "PapyrusUMLActivityDiagram", List.of("Activity"),
            "PapyrusUMLComponentDiagram", List.of("Package", "Component"),
            "CompositeStructure", List.of("Package", "StructuredClassifier"),
            "PapyrusUMLSequenceDiagram", List.of("Interaction"),
            "PapyrusUMLCommunicationDiagram", List.of("Interaction"),
            "PapyrusUMLDeploymentDiagram", List.of("Package"));
    static final int SHOWN = 100;  // problem lines printed per file; all are counted

    final ResourceSet metamodels;
    final Map<URI, Resource> libraries = new HashMap<>();
    final EPackage notation, uml;
    final EClass view, diagram, edge, node, shape, bounds;
    final EStructuralFeature type, element, children, edges, source, target, layoutConstraint, styles;
    final Map<String, Integer> kinds = new TreeMap<>();
    int problems, shownInFile, files, views;
    String current = "";

    // The view grammar, derived from the examples. A view's parts are its
    // children that are part of its own figure: labels and compartments
    // (children that are not a notation:Shape) that stand for their
    // parent's element (no element of their own, or the same one). Stereotype labels and compartments stand for the stereotype and
    // are no parts; nested shapes, rows and ports depend on the model.
    // The rule: a type's required parts are the intersection of the parts
    // of every view of that type in the examples' diagrams of one type (a
    // part that even one example leaves out is optional). Keyed by
    // "DIAGRAM_TYPE VIEW_TYPE": a class diagram's Class_Shape has attribute
    // and operation compartments, a composite structure diagram's a
    // structure compartment.
    final Map<String, Set<String>> required = new TreeMap<>();
    // Of each view type in the examples: the metaclasses of the elements of
    // its own that its views stand for ("null" for xsi:nil), and whether
    // every view of the type has an element, its own or inherited.
    final Map<String, Set<String>> exampleElements = new HashMap<>();
    final Set<String> exampleTypes = new HashSet<>(), elementless = new HashSet<>();
    final Set<EObject> misshown = new HashSet<>();  // views reported as showing the wrong metaclass
    final Set<String> defined = new HashSet<>();  // the view types Papyrus defines, when given
    int exampleDiagrams, exampleFiles, examplesLeftOut;

    PapyrusCheck(File dir) throws IOException {
        metamodels = metamodels(dir);
        libraries.putAll(((ResourceSetImpl) metamodels).getURIResourceMap());
        notation = metamodels.getPackageRegistry().getEPackage(NOTATION);
        uml = metamodels.getPackageRegistry().getEPackage(UML);
        if (notation == null || uml == null) throw new IOException("no notation or UML metamodel in " + dir);
        view = eClass("View");
        diagram = eClass("Diagram");
        edge = eClass("Edge");
        node = eClass("Node");
        shape = eClass("Shape");
        bounds = eClass("Bounds");
        type = view.getEStructuralFeature("type");
        element = view.getEStructuralFeature("element");
        children = view.getEStructuralFeature("children");
        styles = view.getEStructuralFeature("styles");
        edges = diagram.getEStructuralFeature("edges");
        source = edge.getEStructuralFeature("source");
        target = edge.getEStructuralFeature("target");
        layoutConstraint = node.getEStructuralFeature("layoutConstraint");
    }

    EClass eClass(String name) { return (EClass) notation.getEClassifier(name); }

    public static void main(String[] args) throws Exception {
        if (args.length < 3) {
            System.err.println("usage: PapyrusCheck METAMODELS EXAMPLES [--view-types TSV] FILE_OR_DIR... | --grammar");
            System.exit(2);
        }
        PapyrusCheck check;
        int first = 2;
        try {
            check = new PapyrusCheck(new File(args[0]));
            check.derive(new File(args[1]));
            if (args[2].equals("--view-types") && args.length > 3) {
                check.viewTypes(new File(args[3]));
                first = 4;
            }
        } catch (IOException e) {
            System.err.println("PapyrusCheck: " + e.getMessage());
            System.exit(2);
            return;
        }
        if (args[2].equals("--grammar")) {
            check.required.forEach((viewType, parts) -> System.out.println(viewType + ": " + String.join(", ", parts)));
            return;
        }
        Map<String, List<File>> models = new TreeMap<>();
        for (int i = first; i < args.length; ++i) {
            File file = new File(args[i]);
            check.current = args[i];
            if (!file.exists()) check.problem("load", "no such file");
            else if (!file.isDirectory() && extension(file) == null) check.problem("load", "not a .uml, .notation or .di file");
            else collect(file, models);
        }
        for (List<File> model : models.values()) check.model(model);
        System.out.println("papyrus check: " + check.files + " files, " + check.views + " views, " + check.problems
                + " problems " + check.kinds + "; grammar of " + check.required.size() + " view types (by diagram type) from "
                + check.exampleDiagrams + " diagrams in " + check.exampleFiles + " example files ("
                + check.examplesLeftOut + " that do not load left out)");
        System.exit(check.problems == 0 ? 0 : 1);
    }

    // The model files under `file`, by folder and name, the .uml of each first.
    static void collect(File file, Map<String, List<File>> models) {
        File[] entries = file.listFiles();
        if (entries != null) {
            Arrays.sort(entries);
            for (File entry : entries) if (entry.isDirectory() || extension(entry) != null) collect(entry, models);
            return;
        }
        String stem = file.getPath().substring(0, file.getPath().lastIndexOf('.'));
        models.computeIfAbsent(stem, k -> new ArrayList<>()).add(file);
        models.get(stem).sort(Comparator.comparing(f -> !"uml".equals(extension(f))));
    }

    static String extension(File file) {
        String name = file.getName();
        String extension = name.substring(name.lastIndexOf('.') + 1);
        return name.contains(".") && Set.of("uml", "notation", "di").contains(extension) ? extension : null;
    }

    void problem(String kind, String text) {
        ++problems;
        kinds.merge(kind, 1, Integer::sum);
        if (shownInFile++ < SHOWN) System.out.println(current + ": [" + kind + "] " + text);
    }

    // Every .ecore under `dir` (its pathmap/ aside) read as the plugin it is
    // laid out as, with the loading fixes dynamic EMF needs: the
    // containments that GMF's generated package names "children" and "edges"
    // renamed so, GMF's list and map data types read as text, and, with
    // XmiCheck's factories, UML2's "*" read as unlimited and dynamic objects
    // of the classes that extend EModelElement made EModelElements. Ecore
    // itself is EMF's own package. No network.
    static ResourceSet metamodels(File dir) throws IOException {
        ResourceSetImpl set = new ResourceSetImpl();
        set.setURIResourceMap(new HashMap<>());
        set.getResourceFactoryRegistry().getExtensionToFactoryMap().put("ecore", new EcoreResourceFactoryImpl());
        set.getResourceFactoryRegistry().getExtensionToFactoryMap().put("*", new XMIResourceFactoryImpl());
        XmiCheck.offline(set);
        URI root = URI.createFileURI(dir.getAbsolutePath() + File.separator);
        set.getURIConverter().getURIMap().put(URI.createURI("platform:/plugin/"), root);
        File[] pathmaps = new File(dir, "pathmap").listFiles(File::isDirectory);
        for (File pathmap : pathmaps == null ? new File[0] : pathmaps)
            set.getURIConverter().getURIMap().put(URI.createURI("pathmap://" + pathmap.getName() + "/"),
                    URI.createFileURI(pathmap.getAbsolutePath() + File.separator));
        set.getURIResourceMap().put(URI.createURI("platform:/plugin/" + ECORE_MODEL), EcorePackage.eINSTANCE.eResource());
        set.getURIResourceMap().put(URI.createURI(ECORE_MODEL).resolve(root), EcorePackage.eINSTANCE.eResource());
        List<Resource> ecores = new ArrayList<>();
        File[] plugins = dir.listFiles(f -> f.isDirectory() && !f.getName().equals("pathmap"));
        Arrays.sort(plugins == null ? new File[0] : plugins);
        for (File plugin : plugins == null ? new File[0] : plugins)
            for (File folder : Objects.requireNonNull(plugin.listFiles(File::isDirectory)))
                for (File ecore : Objects.requireNonNull(folder.listFiles((d, name) -> name.endsWith(".ecore"))))
                    ecores.add(set.getResource(URI.createURI("platform:/plugin/" + plugin.getName() + "/" + folder.getName() + "/"
                            + ecore.getName()), true));
        EcoreUtil.resolveAll(set);
        if (!EcoreUtil.UnresolvedProxyCrossReferencer.find(set).isEmpty())
            throw new IOException("the metamodels in " + dir + " do not resolve");
        for (Resource resource : ecores)
            for (Iterator<EObject> all = resource.getAllContents(); all.hasNext();) {
                EObject object = all.next();
                if (!(object instanceof EPackage)) continue;
                EPackage ePackage = (EPackage) object;
                fix(ePackage);
                set.getPackageRegistry().put(ePackage.getNsURI(), ePackage);
            }
        set.getPackageRegistry().put(EcorePackage.eNS_URI, EcorePackage.eINSTANCE);
        return set;
    }

    static void fix(EPackage ePackage) {
        for (EClassifier classifier : ePackage.getEClassifiers()) {
            if (ePackage.getNsURI().equals(NOTATION) && TEXT_TYPES.contains(classifier.getName()))
                classifier.setInstanceClassName("java.lang.String");
            if (!(classifier instanceof EClass)) continue;
            for (EStructuralFeature feature : ((EClass) classifier).getEStructuralFeatures())
                if (feature.getName().equals("persistedChildren")) feature.setName("children");
                else if (feature.getName().equals("persistedEdges")) feature.setName("edges");
        }
        ePackage.setEFactoryInstance(ePackage.getNsURI().equals(TYPES) ? new XmiCheck.TypesFactory() : new EFactoryImpl() {
            @Override public EObject create(EClass eClass) {
                return XmiCheck.isModelElement(eClass) ? new XmiCheck.DynamicElement(eClass) : super.create(eClass);
            }
        });
    }

    // A resource set for one model, which finds the metamodels and the
    // libraries and profiles that models before it loaded (read, never
    // checked) where they are. Its files load as Papyrus and UML2 load them:
    // with the metamodels' own element names.
    ResourceSet resourceSet() {
        ResourceSetImpl set = new ResourceSetImpl();
        set.setPackageRegistry(metamodels.getPackageRegistry());
        set.setResourceFactoryRegistry(metamodels.getResourceFactoryRegistry());
        set.setURIConverter(metamodels.getURIConverter());
        set.setURIResourceMap(new HashMap<>(libraries));
        set.getLoadOptions().put(XMLResource.OPTION_DEFER_IDREF_RESOLUTION, Boolean.TRUE);
        set.getLoadOptions().put(XMLResource.OPTION_EXTENDED_META_DATA, new BasicExtendedMetaData(set.getPackageRegistry()));
        return set;
    }

    // The pathmap:// and platform:/ resources that `set` loaded, kept for the next models.
    void keepLibraries(ResourceSet set) {
        for (Resource resource : set.getResources())
            if (resource.isLoaded() && resource.getErrors().isEmpty() && !resource.getURI().isFile())
                libraries.put(resource.getURI(), resource);
    }

    Resource load(ResourceSet set, File file) {
        Resource resource = set.createResource(URI.createFileURI(file.getAbsolutePath()));
        try {
            resource.load(set.getLoadOptions());
        } catch (Exception e) {
            // A load that stops at an error it lists throws that error too.
            if (resource.getErrors().isEmpty()) {
                current = file.getPath();
                problem("load", "does not load: " + e.getMessage());
            }
        }
        return resource;
    }

    // ---- the grammar, from the examples ----

    // Every diagram of the example .notation files under `dir` that states
    // its diagram_compatibility_version (Papyrus's string view types; the
    // older files with numeric ones state none). A file that does not load
    // is left out (one of UML2 4's namespace) and counted. Only the view
    // trees are read: the hrefs stay unresolved, their xmi:type gives the
    // metaclass.
    void derive(File dir) throws IOException {
        Map<String, List<File>> models = new TreeMap<>();
        collect(dir, models);
        for (List<File> model : models.values())
            for (File file : model) {
                if (!"notation".equals(extension(file))) continue;
                Resource resource = load(resourceSet(), file);
                if (!resource.getErrors().isEmpty()) {
                    ++examplesLeftOut;
                    continue;
                }
                boolean used = false;
                for (EObject root : resource.getContents())
                    if (diagram.isInstance(root) && compatible(root)) {
                        used = true;
                        ++exampleDiagrams;
                        for (EObject view : views(root)) learn(typeOf(root), view);
                    }
                if (used) ++exampleFiles;
            }
        if (required.isEmpty()) throw new IOException("no Papyrus diagram in " + dir);
    }

    // The column visual_id of the table `tsv` (a header line, tab-separated).
    void viewTypes(File tsv) throws IOException {
        List<String> lines = Files.readAllLines(tsv.toPath());
        int column = lines.isEmpty() ? -1 : Arrays.asList(lines.get(0).split("\t")).indexOf("visual_id");
        if (column < 0) throw new IOException(tsv + " has no column visual_id");
        for (String line : lines.subList(1, lines.size())) {
            String[] fields = line.split("\t");
            if (fields.length > column) defined.add(fields[column]);
        }
    }

    boolean compatible(EObject diagram) {
        for (Object style : (List<?>) diagram.eGet(styles)) {
            EStructuralFeature name = ((EObject) style).eClass().getEStructuralFeature("name");
            if (name != null && "diagram_compatibility_version".equals(((EObject) style).eGet(name))) return true;
        }
        return false;
    }

    void learn(String diagramType, EObject view) {
        String viewType = typeOf(view);
        Set<String> parts = new TreeSet<>();
        EObject own = elementOf(view);
        for (Object child : (List<?>) view.eGet(children)) {
            EObject part = (EObject) child;
            if (shape.isInstance(part)) continue;
            if (part.eIsSet(element) && !sameElement(part.eGet(element, false), own)) continue;
            parts.add(typeOf(part));
        }
        exampleTypes.add(viewType);
        required.merge(diagramType + " " + viewType, parts, (a, b) -> { a.retainAll(b); return a; });
        if (view.eIsSet(element)) {
            EObject value = (EObject) view.eGet(element, false);
            exampleElements.computeIfAbsent(viewType, k -> new TreeSet<>()).add(value == null ? "null" : value.eClass().getName());
        }
        if (own == null) elementless.add(viewType);
    }

    static boolean sameElement(Object a, Object b) {
        return a == b || (a != null && b != null && EcoreUtil.getURI((EObject) a).equals(EcoreUtil.getURI((EObject) b)));
    }

    // ---- the checks ----

    void model(List<File> model) {
        ResourceSet set = resourceSet();
        Map<File, Resource> resources = new LinkedHashMap<>();
        // The metaclass each view's element href states (its xmi:type), before resolving replaces the proxies.
        Map<EObject, EClass> stated = new HashMap<>();
        for (File file : model) {
            shownInFile = 0;
            Resource resource = load(set, file);
            resources.put(file, resource);
            for (EObject root : resource.getContents())
                for (EObject view : views(root))
                    if (view.eGet(element, false) instanceof EObject) stated.put(view, ((EObject) view.eGet(element, false)).eClass());
        }
        EcoreUtil.resolveAll(set);
        keepLibraries(set);
        for (Map.Entry<File, Resource> entry : resources.entrySet()) {
            current = entry.getKey().getPath();
            shownInFile = 0;
            ++files;
            Resource resource = entry.getValue();
            for (Resource.Diagnostic d : resource.getErrors()) problem("load", "line " + d.getLine() + ": " + d.getMessage());
            for (Resource.Diagnostic d : resource.getWarnings()) problem("load", "line " + d.getLine() + ": warning: " + d.getMessage());
            for (Map.Entry<EObject, Collection<EStructuralFeature.Setting>> e : EcoreUtil.UnresolvedProxyCrossReferencer.find(resource).entrySet())
                for (EStructuralFeature.Setting setting : e.getValue())
                    problem("dangling", name(setting.getEObject()) + ": " + setting.getEStructuralFeature().getName() + " refers to "
                            + EcoreUtil.getURI(e.getKey()) + ", which is not there");
            validate(resource);
            for (EObject root : resource.getContents())
                if (diagram.isInstance(root)) diagram(root, stated);
        }
    }

    void diagram(EObject root, Map<EObject, EClass> stated) {
        for (Object child : (List<?>) root.eGet(children))
            if (node.isInstance(child) && !bounds.isInstance(((EObject) child).eGet(layoutConstraint)))
                problem("bounds", name((EObject) child) + " is at the top of diagram " + name(root) + " without a notation:Bounds");
        for (EObject view : views(root)) {
            ++views;
            String viewType = typeOf(view);
            if (!defined.isEmpty() && !defined.contains(viewType) && !exampleTypes.contains(viewType))
                problem("type", name(view) + ": Papyrus has no view type '" + viewType + "'");
            Set<String> parts = required.get(typeOf(root) + " " + viewType);
            if (parts != null) {
                Set<String> missing = new TreeSet<>(parts);
                for (Object child : (List<?>) view.eGet(children)) missing.remove(typeOf((EObject) child));
                if (!missing.isEmpty()) problem("grammar", name(view) + " lacks " + String.join(", ", missing));
            }
            if (edge.isInstance(view))
                for (EStructuralFeature end : List.of(source, target)) {
                    EObject other = (EObject) view.eGet(end);
                    if (other == null) problem("edge", name(view) + " has no " + end.getName());
                    else if (diagramOf(other) != root)
                        problem("edge", name(view) + ": its " + end.getName() + " " + name(other) + " is not a view of diagram " + name(root));
                }
            metaclass(view, stated.get(view));
        }
    }

    // A view's element against its type. A diagram's element is as the
    // architecture model allows it. A view with an element of its own may
    // stand for a metaclass the examples show for its type (StereotypeLabel:
    // Stereotype; InteractionOperand_Guard: InteractionConstraint). Else a
    // type named Metaclass_Role shows that UML metaclass: the element is of
    // it exactly, or of a subclass when it is abstract
    // (NamedElement_DefaultShape, Classifier_SubjectShape); labels and
    // compartments inherit their parent's element and are held to their
    // own names too.
    void metaclass(EObject view, EClass hrefClass) {
        String viewType = typeOf(view);
        EObject value = elementOf(view);
        if (misshown.contains(holderOf(view))) return;  // the view it inherits a wrong element from is reported
        if (value == null) {
            if (exampleTypes.contains(viewType) && !elementless.contains(viewType)) problem("metaclass", name(view) + " stands for no element");
            return;
        }
        if (value.eIsProxy()) return;  // dangling, reported as such
        EClass actual = value.eClass();
        if (hrefClass != null && hrefClass != actual)
            problem("metaclass", name(view) + ": its element href says " + hrefClass.getName() + ", the element is a " + actual.getName());
        EClassifier named = uml.getEClassifier(viewType.contains("_") ? viewType.substring(0, viewType.indexOf('_')) : viewType);
        Collection<String> allowed;
        if (diagram.isInstance(view)) {
            allowed = DIAGRAM_ELEMENTS.get(viewType);
            if (allowed != null && allowed.stream().noneMatch(c -> ((EClass) uml.getEClassifier(c)).isSuperTypeOf(actual)))
                problem("metaclass", name(view) + " is for a " + String.join(" or ", allowed) + ", its element is a " + actual.getName());
        } else if (view.eIsSet(element) && exampleElements.getOrDefault(viewType, Set.of()).contains(actual.getName())) {
            return;
        } else if (named instanceof EClass) {
            EClass shown = (EClass) named;
            if (shown.isAbstract() ? !shown.isSuperTypeOf(actual) : shown != actual) {
                misshown.add(view);
                problem("metaclass", name(view) + " shows a " + shown.getName() + ", its element is a " + actual.getName());
            }
        } else if (view.eIsSet(element) && (allowed = exampleElements.get(viewType)) != null) {
            problem("metaclass", name(view) + " is for a " + String.join(" or ", allowed) + " in the examples, its element is a "
                    + actual.getName());
        }
    }

    // EMF's Diagnostician over every root, with EObjectValidator's default
    // constraints on the dynamic packages (Ecore's own objects, such as
    // annotations, keep EcoreValidator): every stored feature within its
    // multiplicity, every reference contained in a resource, both sides of
    // every bidirectional reference paired, every value of its data type,
    // keys and map entries unique. Left out: proxies (reported as
    // dangling above), the multiplicity of derived, volatile or transient
    // features, which only the generated code of UML2 and GMF computes
    // (Property::isComposite, View::diagram), and a UML feature left unset
    // below its lower bound: Papyrus saves models so (its examples leave
    // AcceptEventAction::trigger and InteractionConstraint::specification
    // empty), and XmiCheck holds our .uml to those bounds.
    void validate(Resource resource) {
        EObjectValidator dynamic = new EObjectValidator() {
            @Override public boolean validate(EClass eClass, EObject eObject, DiagnosticChain diagnostics, Map<Object, Object> context) {
                return validate_EveryDefaultConstraint(eObject, diagnostics, context);
            }
            @Override protected boolean validate_MultiplicityConforms(EObject eObject, EStructuralFeature feature,
                    DiagnosticChain diagnostics, Map<Object, Object> context) {
                return feature.isDerived() || feature.isVolatile() || feature.isTransient()
                        || (feature.getEContainingClass().getEPackage() == uml && !eObject.eIsSet(feature))
                        || super.validate_MultiplicityConforms(eObject, feature, diagnostics, context);
            }
            @Override public boolean validate_EveryProxyResolves(EObject eObject, DiagnosticChain diagnostics, Map<Object, Object> context) {
                return true;
            }
        };
        EValidatorRegistryImpl registry = new EValidatorRegistryImpl(EValidator.Registry.INSTANCE);
        for (Object ePackage : metamodels.getPackageRegistry().values())
            if (ePackage != EcorePackage.eINSTANCE) registry.put((EPackage) ePackage, dynamic);
        Diagnostician diagnostician = new Diagnostician(registry) {
            @Override public String getObjectLabel(EObject eObject) { return name(eObject); }
        };
        for (EObject root : resource.getContents()) report(diagnostician.validate(root));
    }

    void report(Diagnostic d) {
        for (Diagnostic child : d.getChildren()) report(child);
        if (d.getChildren().isEmpty() && d.getSeverity() >= Diagnostic.WARNING) problem("validator", d.getMessage());
    }

    // ---- views ----

    // The view and every view under it (children, and a diagram's edges with their labels).
    List<EObject> views(EObject root) {
        List<EObject> all = new ArrayList<>();
        if (!view.isInstance(root)) return all;
        Deque<EObject> open = new ArrayDeque<>(List.of(root));
        while (!open.isEmpty()) {
            EObject next = open.pop();
            all.add(next);
            for (Object child : (List<?>) next.eGet(children)) open.push((EObject) child);
            if (diagram.isInstance(next)) for (Object child : (List<?>) next.eGet(edges)) open.push((EObject) child);
        }
        return all;
    }

    String typeOf(EObject view) {
        Object value = view.eGet(type);
        return value == null ? "" : (String) value;
    }

    // As GMF's View.getElement(): the view's own element when set (null for
    // xsi:nil), its container's otherwise.
    EObject elementOf(EObject view) {
        EObject holder = holderOf(view);
        return holder == null ? null : (EObject) holder.eGet(element, false);
    }

    // The view whose element `view` stands for: itself or the nearest view above it that sets one.
    EObject holderOf(EObject view) {
        for (EObject at = view; at != null && this.view.isInstance(at); at = at.eContainer())
            if (at.eIsSet(element)) return at;
        return null;
    }

    EObject diagramOf(EObject view) {
        EObject at = view;
        while (at != null && !diagram.isInstance(at)) at = at.eContainer();
        return at;
    }

    static String name(EObject object) {
        String id = object.eResource() instanceof XMLResource ? ((XMLResource) object.eResource()).getID(object) : null;
        EStructuralFeature type = object.eClass().getEStructuralFeature("type");
        String viewType = type != null && object.eGet(type) instanceof String ? " " + object.eGet(type) : "";
        return object.eClass().getName() + viewType + " " + (id != null ? id : EcoreUtil.getURI(object).fragment());
    }
}
