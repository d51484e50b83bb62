// The baseline for the start-up figures: the least a freeglut program does
// to show the same window (640 x 400, "Untitled", RGBA double-buffered with
// depth, GLEW initialised), with nothing of the run-time behind it.
#include <GL/glew.h>
#include <GL/freeglut.h>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 400);
    glutCreateWindow("Untitled");
    glewInit();
    glutDisplayFunc([] {
        glClear(GL_COLOR_BUFFER_BIT);
        glutSwapBuffers();
    });
    glutMainLoop();
}
